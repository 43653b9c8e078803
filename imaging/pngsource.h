// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A PNG picture decoded with libpng row by row: a region needs only the rows down to its
// bottom, and a reduced picture is averaged while the rows stream past, so neither holds the
// whole picture. Interlaced files cannot be streamed and are left to Qt's reader. A file cut
// short gives the rows decoded before the cut; the rows after it stay transparent (black where
// the picture has no alpha). One that ends before its first row gives no picture.

#include "imaging/imagesource.h"

#include <QByteArray>

#include <memory>

class PngReader;

class PngSource : public ImageSource {
public:
    // Null when the header cannot be read (`fault` then says why) or the file is interlaced.
    static std::unique_ptr<PngSource> open(const QByteArray& data, DecodeFault* fault);

    QSize size() const override { return m_size; }
    QImage decodeReduced(const QSize& atLeast) override;
    QImage decodeRegion(const QRect& region) override;
    bool decodesInto(const QRect& region) const override;
    bool decodeRegionInto(const QRect& region, const GdiPixelRows& rows) override;

private:
    PngSource(QByteArray data, QSize size, bool opaque);
    int reductionFor(const QSize& atLeast) const;
    // Notes why a decode gave nothing; false, what such a decode returns.
    bool noteFailure(const PngReader& png);
    bool noteFailure(DecodeFault::Kind kind);

    QByteArray m_data;
    QSize m_size;
    bool m_opaque;
};
