// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Hands a picture out as a 32-bit top-down DIB section of its full size, composited over a
// background colour. The section's memory is committed only where written, and a picture not
// yet decoded is decoded region by region as the graphics layer reads from the section (a
// film frame copies only the top-left corner of a photo). A block copy from the section is
// decoded straight into the destination's rows: the section's own memory is then never touched.

#include "imaging/gdiplus.h"
#include "imaging/imagesource.h"

#include <memory>
#include <vector>

class DibExport {
public:
    static GpStatus create(std::shared_ptr<ImageSource> source, ARGB background, HBITMAP* bitmap);

    DibExport(std::shared_ptr<ImageSource> source, BYTE* bits, std::int64_t stride, ARGB background);
    bool fill(const QRect& region);
    // The pixels fill() would store for `region`, written into `rows` instead.
    bool copyTo(const QRect& region, const GdiPixelRows& rows);

private:
    bool isFilled(const QRect& region) const;
    bool decode(const QRect& region, QImage* pixels) const;
    void store(const QImage& pixels, const QPoint& at);

    std::shared_ptr<ImageSource> m_source;
    BYTE* m_bits;
    std::int64_t m_stride;
    ARGB m_background;
    std::vector<QRect> m_filled;
};
