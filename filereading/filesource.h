// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A picture decoded from a mapped file: the decoder reads the mapping's bytes in place, so the
// mapping lives exactly as long as the decoder (it is destroyed first).

#include "imaging/imagesource.h"
#include "filereading/mappedfile.h"

#include <memory>

class FileSource : public ImageSource {
public:
    FileSource(std::unique_ptr<MappedFile> file, std::unique_ptr<ImageSource> decoder);

    QSize size() const override { return m_decoder->size(); }
    QImage decodeReduced(const QSize& atLeast) override;
    QImage decodeRegion(const QRect& region) override;
    bool decodesInto(const QRect& region) const override { return m_decoder->decodesInto(region); }
    bool decodeRegionInto(const QRect& region, const GdiPixelRows& rows) override;
    bool isDecoded() const override { return m_decoder->isDecoded(); }

private:
    QImage checked(QImage decoded) const;
    void noteCutShort() const;

    std::unique_ptr<MappedFile> m_file;
    std::unique_ptr<ImageSource> m_decoder;
};
