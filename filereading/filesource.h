// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A picture decoded from a mapped file: the decoder reads the mapping's bytes in place, so the
// mapping lives exactly as long as the decoder (it is destroyed first). Each decode that gives no
// picture, or only part of one, for a reason graver than those logged before is logged under
// strevio.imaging at warning level, with the photo's name and the reason.

#include "imaging/imagesource.h"
#include "filereading/mappedfile.h"

#include <QString>

#include <memory>

class FileSource : public ImageSource {
public:
    FileSource(QString path, std::unique_ptr<MappedFile> file, std::unique_ptr<ImageSource> decoder);

    QSize size() const override { return m_decoder->size(); }
    QImage decodeReduced(const QSize& atLeast) override;
    QImage decodeRegion(const QRect& region) override;
    bool decodesInto(const QRect& region) const override { return m_decoder->decodesInto(region); }
    bool decodeRegionInto(const QRect& region, const GdiPixelRows& rows) override;
    bool isDecoded() const override { return m_decoder->isDecoded(); }
    // The decoder's fault, and a read error or a cut under the mapping, whichever is graver.
    DecodeFault fault() const override;

    // The warning for the photo at `path`: `partial` when it gave part of a picture.
    static void logFault(const QString& path, const DecodeFault& fault, bool partial = false);

private:
    void report(bool decoded);

    QString m_path;
    std::unique_ptr<MappedFile> m_file;
    std::unique_ptr<ImageSource> m_decoder;
    DecodeFault::Kind m_reported = DecodeFault::Kind::None;
};
