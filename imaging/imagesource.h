#pragma once
// A picture that can be decoded on demand: whole at a reduced scale, or a region at full scale.
// Sizes and regions are those of the upright picture (EXIF orientation applied). Decoded images
// are Format_ARGB32_Premultiplied or Format_RGB32; a null image means the decoder failed.

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
};
