// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A JPEG photo decoded with libjpeg-turbo: only the header at first, then scaled in the DCT
// (1/2, 1/4, 1/8) for reduced pictures, or only the rows and columns of a region.

#include "imaging/exiforientation.h"
#include "imaging/imagesource.h"

#include <QByteArray>

#include <memory>

class JpegDecompressor;

class JpegSource : public ImageSource {
public:
    // Null when the header cannot be read or the colours need a converter libjpeg lacks (CMYK);
    // `fault` then says why, unless it was the colours.
    static std::unique_ptr<JpegSource> open(const QByteArray& data, DecodeFault* fault);
    // False when libjpeg cannot read the header at all (then no JPEG decoder can).
    static bool hasReadableHeader(const QByteArray& data);

    QSize size() const override { return m_orientation.upright(m_rawSize); }
    QImage decodeReduced(const QSize& atLeast) override;
    QImage decodeRegion(const QRect& region) override;
    bool decodesInto(const QRect& region) const override;
    bool decodeRegionInto(const QRect& region, const GdiPixelRows& rows) override;

private:
    JpegSource(QByteArray data, QSize rawSize, ExifOrientation orientation);
    int reductionFor(const QSize& rawAtLeast) const;
    static QImage decodeScaled(const QByteArray& data, int denominator, DecodeFault* fault);
    QImage decodeRaw(JpegDecompressor& jpeg, const QRect& rawRegion, DecodeFault* fault) const;
    bool decodeCornerInto(const QByteArray& data, const QRect& region, const GdiPixelRows& rows,
                          DecodeFault* fault) const;
    QImage noted(QImage image, const DecodeFault& fault);

    QByteArray m_data;
    QSize m_rawSize;
    ExifOrientation m_orientation;
};
