// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/gdi/gdicontext.h"

#include "platform/gdi/gdibitmap.h"
#include "platform/gdi/gdibrush.h"
#include "platform/gdi/pixelrows.h"

#include <QColor>
#include <QImage>
#include <QPainter>

GdiContext::GdiContext(QPainter* painter)
    : m_painter(painter)
    , m_brush(GdiBrush::stockWhite())
{
}

std::unique_ptr<GdiContext> GdiContext::createMemory()
{
    std::unique_ptr<GdiContext> context(new GdiContext(nullptr));
    context->m_bitmap = GdiBitmap::stock();
    return context;
}

std::unique_ptr<GdiContext> GdiContext::createPainter(QPainter* painter)
{
    if (!painter)
        return nullptr;
    return std::unique_ptr<GdiContext>(new GdiContext(painter));
}

GdiContext::~GdiContext()
{
    if (m_bitmap && !m_bitmap->isStock())
        m_bitmap->setSelectedInto(nullptr);
}

HGDIOBJ GdiContext::select(HGDIOBJ object)
{
    if (!object)
        return nullptr;
    if (object->kind() == GdiObject::Kind::Bitmap)
        return selectBitmap(static_cast<GdiBitmap*>(object));
    GdiBrush* previous = m_brush;
    m_brush = static_cast<GdiBrush*>(object);
    return previous;
}

HGDIOBJ GdiContext::selectBitmap(GdiBitmap* bitmap)
{
    // Only memory contexts hold bitmaps, and a bitmap is selected into one context at a time.
    if (m_painter)
        return nullptr;
    if (!bitmap->isStock() && bitmap->selectedInto() && bitmap->selectedInto() != this)
        return nullptr;
    GdiBitmap* previous = m_bitmap;
    if (!previous->isStock())
        previous->setSelectedInto(nullptr);
    m_bitmap = bitmap;
    if (!bitmap->isStock())
        bitmap->setSelectedInto(this);
    return previous;
}

bool GdiContext::fill(const QRect& region, COLORREF color)
{
    if (m_painter) {
        m_painter->fillRect(region, QColor(BYTE(color), BYTE(color >> 8), BYTE(color >> 16)));
        return true;
    }
    m_bitmap->fill(region, color);
    return true;
}

bool GdiContext::copyFrom(GdiContext& source, const QRect& target, const QPoint& sourceOrigin)
{
    if (source.m_painter)
        return false;
    if (!m_painter)
        return copyBetweenBitmaps(*source.m_bitmap, target, sourceOrigin);
    const QPoint offset = target.topLeft() - sourceOrigin;
    const QRect from = target.translated(-offset).intersected(source.m_bitmap->bounds());
    if (from.isEmpty())
        return true;
    m_painter->drawImage(from.topLeft() + offset, source.m_bitmap->toImage(from));
    return true;
}

bool GdiContext::copyBetweenBitmaps(GdiBitmap& source, const QRect& target, const QPoint& sourceOrigin)
{
    GdiBitmap& destination = *m_bitmap;
    const QPoint offset = target.topLeft() - sourceOrigin;
    const QRect to = target.intersected(destination.bounds()).intersected(source.bounds().translated(offset));
    if (to.isEmpty() || destination.isStock())
        return true;
    const QRect from = to.translated(-offset);
    const int step = destination.bitsPerPixel() / 8;
    const bool sameBitmap = &source == &destination;
    if (source.hasDeferredCopy() && !sameBitmap) {
        BYTE* first = destination.scanLine(to.top()) + to.left() * step;
        const std::int64_t down = destination.isTopDown() ? destination.stride() : -destination.stride();
        return source.copyDeferred(from, GdiPixelRows{first, down, destination.bitsPerPixel()});
    }
    if (!source.prepare(from))
        return false;
    for (int i = 0; i < to.height(); ++i) {
        // Copying within one bitmap downwards must walk the rows bottom first.
        const int y = (sameBitmap && offset.y() > 0) ? to.height() - 1 - i : i;
        BYTE* out = destination.scanLine(to.top() + y) + to.left() * step;
        PixelRows::convert(source.scanLine(from.top() + y), source.bitsPerPixel(), from.left(), out,
                           destination.bitsPerPixel(), to.width());
    }
    return true;
}

bool GdiContext::drawImage(const QRect& target, const QImage& image)
{
    if (image.isNull() || target.isEmpty())
        return false;
    if (m_painter) {
        m_painter->save();
        m_painter->setRenderHint(QPainter::SmoothPixmapTransform);
        m_painter->drawImage(target, image);
        m_painter->restore();
        return true;
    }
    const QRect visible = target.intersected(m_bitmap->bounds());
    if (visible.isEmpty() || m_bitmap->isStock())
        return true;
    QImage area = m_bitmap->toImage(visible);
    if (area.isNull())
        return false;
    QPainter painter(&area);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target.translated(-visible.topLeft()), image);
    painter.end();
    m_bitmap->drawImage(visible.topLeft(), area);
    return true;
}
