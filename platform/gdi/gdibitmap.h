// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A bitmap of the graphics layer: a DIB section (24 or 32 bits, bottom-up or top-down rows,
// addressable pixels) or a device-dependent bitmap (32 bits, top-down, pixels not handed out).
// A bitmap may carry a deferred source: a hook that fills a region of its pixels on demand,
// called before anything reads that region, so that a large photo is decoded only where it is
// actually copied from.

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdiobject.h"
#include "platform/gdi/pixelmemory.h"

#include <QRect>

#include <cstdint>
#include <functional>
#include <memory>

struct GdiBitmap : GdiObject {
    // Fills the given region (top-down pixel coordinates, within the bitmap) of the bitmap's
    // pixels; false when it could not.
    using DeferredSource = std::function<bool(const QRect&)>;
    // Writes the given region of the bitmap's pixels, as the deferred source would produce them,
    // into rows of another bitmap; false when it could not.
    using DeferredCopy = std::function<bool(const QRect&, const GdiPixelRows&)>;

    // Null when the size or depth is not supported or the memory cannot be had.
    static std::unique_ptr<GdiBitmap> createDibSection(int width, int signedHeight, int bitsPerPixel);
    static std::unique_ptr<GdiBitmap> createDeviceDependent(int width, int height);
    static GdiBitmap* stock(); // 1 x 1 monochrome, selected into every new memory context

    int width() const { return m_width; }
    int height() const { return m_height; }
    int bitsPerPixel() const { return m_bitsPerPixel; }
    bool isDibSection() const { return m_isDibSection; }
    bool isTopDown() const { return m_topDown; }
    std::int64_t stride() const { return m_stride; }
    std::int64_t imageBytes() const { return m_stride * m_height; }
    BYTE* bits() const { return m_bits; }
    QRect bounds() const { return QRect(0, 0, m_width, m_height); }
    BYTE* scanLine(int y) const; // y counted from the top row of the picture

    GdiContext* selectedInto() const { return m_selectedInto; }
    void setSelectedInto(GdiContext* context) { m_selectedInto = context; }

    void setDeferredSource(DeferredSource source) { m_deferredSource = std::move(source); }
    bool prepare(const QRect& region); // runs the deferred source for the part of region inside
    void setDeferredCopy(DeferredCopy copy) { m_deferredCopy = std::move(copy); }
    bool hasDeferredCopy() const { return bool(m_deferredCopy); }
    // Copies `region` (inside the bitmap) into `rows` through the deferred copy.
    bool copyDeferred(const QRect& region, const GdiPixelRows& rows) { return m_deferredCopy(region, rows); }

    void describe(BITMAP* bitmap) const;
    void describe(DIBSECTION* section) const;

    void fill(const QRect& region, COLORREF color);
    QImage toImage(const QRect& region); // Format_RGB32
    void drawImage(const QPoint& at, const QImage& image); // clipped; image converted to RGB32

private:
    GdiBitmap(int width, int height, int bitsPerPixel, bool dibSection, bool topDown, bool stock);
    bool allocate();

    int m_width;
    int m_height;
    int m_bitsPerPixel;
    bool m_isDibSection;
    bool m_topDown;
    std::int64_t m_stride;
    std::unique_ptr<PixelMemory> m_memory;
    BYTE* m_bits = nullptr;
    GdiContext* m_selectedInto = nullptr;
    DeferredSource m_deferredSource;
    DeferredCopy m_deferredCopy;
};
