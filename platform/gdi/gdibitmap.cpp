// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/gdi/gdibitmap.h"

#include "platform/gdi/pixelrows.h"

#include <QImage>

#include <cstring>

namespace {
// DIBSECTION reports the image size in a 32-bit field; larger sections are refused.
constexpr std::int64_t kMaxImageBytes = 0xFFFFFFFFLL;
constexpr BYTE kStockPixel[4] = {0, 0, 0, 0};
} // namespace

GdiBitmap::GdiBitmap(int width, int height, int bitsPerPixel, bool dibSection, bool topDown, bool stock)
    : GdiObject(Kind::Bitmap, stock)
    , m_width(width)
    , m_height(height)
    , m_bitsPerPixel(bitsPerPixel)
    , m_isDibSection(dibSection)
    , m_topDown(topDown)
    , m_stride(dibSection ? DibRowStride(width, bitsPerPixel) : std::int64_t(width) * 4)
{
}

bool GdiBitmap::allocate()
{
    const std::int64_t bytes = imageBytes();
    if (bytes <= 0 || bytes > kMaxImageBytes)
        return false;
    m_memory = std::make_unique<PixelMemory>(size_t(bytes));
    m_bits = m_memory->data();
    return m_bits != nullptr;
}

std::unique_ptr<GdiBitmap> GdiBitmap::createDibSection(int width, int signedHeight, int bitsPerPixel)
{
    if (width <= 0 || signedHeight == 0 || signedHeight == INT32_MIN || !PixelRows::isSupportedDestination(bitsPerPixel))
        return nullptr;
    const bool topDown = signedHeight < 0;
    std::unique_ptr<GdiBitmap> bitmap(
        new GdiBitmap(width, topDown ? -signedHeight : signedHeight, bitsPerPixel, true, topDown, false));
    return bitmap->allocate() ? std::move(bitmap) : nullptr;
}

std::unique_ptr<GdiBitmap> GdiBitmap::createDeviceDependent(int width, int height)
{
    if (width <= 0 || height <= 0)
        return nullptr;
    std::unique_ptr<GdiBitmap> bitmap(new GdiBitmap(width, height, 32, false, true, false));
    return bitmap->allocate() ? std::move(bitmap) : nullptr;
}

GdiBitmap* GdiBitmap::stock()
{
    static GdiBitmap* const monochrome = [] {
        auto* bitmap = new GdiBitmap(1, 1, 1, false, true, true);
        bitmap->m_stride = 2;
        bitmap->m_bits = const_cast<BYTE*>(kStockPixel);
        return bitmap;
    }();
    return monochrome;
}

BYTE* GdiBitmap::scanLine(int y) const
{
    const int row = m_topDown ? y : m_height - 1 - y;
    return m_bits + std::int64_t(row) * m_stride;
}

bool GdiBitmap::prepare(const QRect& region)
{
    const QRect inside = region.intersected(bounds());
    if (!m_deferredSource || inside.isEmpty())
        return true;
    return m_deferredSource(inside);
}

void GdiBitmap::describe(BITMAP* bitmap) const
{
    bitmap->bmType = 0;
    bitmap->bmWidth = m_width;
    bitmap->bmHeight = m_height;
    bitmap->bmWidthBytes = LONG(m_stride);
    bitmap->bmPlanes = 1;
    bitmap->bmBitsPixel = WORD(m_bitsPerPixel);
    bitmap->bmBits = m_isDibSection ? m_bits : nullptr;
}

void GdiBitmap::describe(DIBSECTION* section) const
{
    std::memset(section, 0, sizeof *section);
    describe(&section->dsBm);
    BITMAPINFOHEADER& header = section->dsBmih;
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = m_width;
    header.biHeight = m_topDown ? -m_height : m_height;
    header.biPlanes = 1;
    header.biBitCount = WORD(m_bitsPerPixel);
    header.biCompression = BI_RGB;
    header.biSizeImage = DWORD(imageBytes());
}

void GdiBitmap::fill(const QRect& region, COLORREF color)
{
    const QRect inside = region.intersected(bounds());
    if (inside.isEmpty() || isStock())
        return;
    const int step = m_bitsPerPixel / 8;
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        PixelRows::fill(scanLine(y) + inside.left() * step, m_bitsPerPixel, inside.width(), color);
}

QImage GdiBitmap::toImage(const QRect& region)
{
    const QRect inside = region.intersected(bounds());
    if (inside.isEmpty())
        return QImage();
    QImage image(inside.size(), QImage::Format_RGB32);
    if (image.isNull() || !prepare(inside))
        return QImage();
    for (int y = 0; y < inside.height(); ++y) {
        BYTE* row = image.scanLine(y);
        PixelRows::convert(scanLine(inside.top() + y), m_bitsPerPixel, inside.left(), row, 32, inside.width(), 0xFF);
        if (m_bitsPerPixel == 32)
            PixelRows::setOpaque(row, inside.width());
    }
    return image;
}

void GdiBitmap::drawImage(const QPoint& at, const QImage& image)
{
    const QRect target = QRect(at, image.size()).intersected(bounds());
    if (target.isEmpty() || isStock())
        return;
    const QImage source = image.convertToFormat(QImage::Format_RGB32);
    const int step = m_bitsPerPixel / 8;
    for (int y = target.top(); y <= target.bottom(); ++y)
        PixelRows::convert(source.constScanLine(y - at.y()), 32, target.left() - at.x(),
                           scanLine(y) + target.left() * step, m_bitsPerPixel, target.width(), 0);
}
