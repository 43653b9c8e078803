// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A picture that can be decoded on demand: whole at a reduced scale, or a region at full scale.
// Sizes and regions are those of the upright picture (EXIF orientation applied). Decoded images
// are Format_ARGB32_Premultiplied or Format_RGB32; a null image means the decoder failed, and
// fault() says why (or why a picture is only part of the photo).

#include "imaging/decodefault.h"
#include "platform/gdi/gdi.h"

#include <QImage>
#include <QRect>
#include <QSize>

class ImageSource {
public:
    virtual ~ImageSource() = default;

    virtual QSize size() const = 0;

    // The whole picture, scaled down by the decoder's own cheap means as far as it can while
    // staying at least `atLeast` in both directions (full size when it cannot reduce).
    virtual QImage decodeReduced(const QSize& atLeast) = 0;

    // One region at full scale; `region` lies inside the picture.
    virtual QImage decodeRegion(const QRect& region) = 0;

    // True when the pixels are already in memory, so there is nothing to gain by deferring.
    virtual bool isDecoded() const { return false; }

    // True when decodeRegionInto can write `region` straight into another bitmap's rows, without
    // a picture of its own in between.
    virtual bool decodesInto(const QRect& region) const
    {
        Q_UNUSED(region);
        return false;
    }
    // The pixels decodeRegion gives for `region`, written into `rows` (24 or 32 bits; B, G, R,
    // and 0xFF for opaque pixels' fourth byte); false when the decoder failed, with the rows then
    // possibly written in part.
    virtual bool decodeRegionInto(const QRect& region, const GdiPixelRows& rows)
    {
        Q_UNUSED(region);
        Q_UNUSED(rows);
        return false;
    }

    // Why the decodes so far gave no picture or only part of one; Kind::None when they all went
    // well.
    virtual DecodeFault fault() const { return m_fault; }

protected:
    void noteFault(const DecodeFault& fault) { m_fault.add(fault); }
    // The region of a picture already in memory; a copy that finds no memory says so.
    QImage regionOf(const QImage& whole, const QRect& region)
    {
        QImage part = whole.copy(region);
        if (part.isNull())
            noteFault(DecodeFault::Kind::NoResources);
        return part;
    }

private:
    DecodeFault m_fault;
};
