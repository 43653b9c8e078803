// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A drawing context: either a memory context, which draws into the bitmap selected into it, or
// a painter context, which draws through a QPainter on a window, a printer or an image.

#include "platform/gdi/gdi.h"

#include <memory>

class QPoint;
class QRect;

struct GdiContext {
    static std::unique_ptr<GdiContext> createMemory();
    static std::unique_ptr<GdiContext> createPainter(QPainter* painter);
    ~GdiContext();
    GdiContext(const GdiContext&) = delete;
    GdiContext& operator=(const GdiContext&) = delete;

    QPainter* painter() const { return m_painter; }
    GdiBitmap* bitmap() const { return m_bitmap; }

    // The object previously selected of the same kind, or null when the object cannot be selected.
    HGDIOBJ select(HGDIOBJ object);
    bool fill(const QRect& region, COLORREF color);
    bool copyFrom(GdiContext& source, const QRect& target, const QPoint& sourceOrigin);
    bool drawImage(const QRect& target, const QImage& image);

private:
    explicit GdiContext(QPainter* painter);
    HGDIOBJ selectBitmap(GdiBitmap* bitmap);
    bool copyBetweenBitmaps(GdiBitmap& source, const QRect& target, const QPoint& sourceOrigin);

    QPainter* m_painter = nullptr;
    GdiBitmap* m_bitmap = nullptr;
    GdiBrush* m_brush = nullptr;
};
