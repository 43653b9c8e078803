// SPDX-License-Identifier: GPL-2.0-or-later
#include "imaging/dibexport.h"

#include "imaging/imagelimits.h"
#include "platform/gdi/pixelrows.h"

#include <QColor>

#include <array>
#include <cstring>

namespace {

// Pixels already in memory are copied at once, so that the bitmap keeps no hold on its source;
// larger pictures wait for the regions asked of them (a film frame reads only its top-left
// 2000 x 2000), instead of doubling the memory they take.
constexpr std::int64_t kEagerFillPixels = 2000 * 2000;

BITMAPINFO topDownHeader(const QSize& size)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = size.width();
    info.bmiHeader.biHeight = -size.height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// The background colour as a premultiplied B, G, R, A pixel.
std::array<BYTE, 4> backgroundPixel(ARGB background)
{
    const QRgb premultiplied = qPremultiply(QColor::fromRgba(background).rgba());
    return {BYTE(qBlue(premultiplied)), BYTE(qGreen(premultiplied)), BYTE(qRed(premultiplied)),
            BYTE(qAlpha(premultiplied))};
}

// Source-over of premultiplied B, G, R, A pixels onto a premultiplied background.
void compositeRow(const BYTE* source, BYTE* out, int count, const BYTE background[4])
{
    for (int i = 0; i < count; ++i, source += 4, out += 4) {
        const unsigned rest = 255u - source[3];
        for (int channel = 0; channel < 4; ++channel)
            out[channel] = BYTE(source[channel] + (background[channel] * rest + 127) / 255);
    }
}

} // namespace

DibExport::DibExport(std::shared_ptr<ImageSource> source, BYTE* bits, std::int64_t stride, ARGB background)
    : m_source(std::move(source))
    , m_bits(bits)
    , m_stride(stride)
    , m_background(background)
{
}

GpStatus DibExport::create(std::shared_ptr<ImageSource> source, ARGB background, HBITMAP* bitmap)
{
    const QSize size = source->size();
    if (size.isEmpty() || pixelCount(size) > kMaxPicturePixels)
        return OutOfMemory;
    const BITMAPINFO info = topDownHeader(size);
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!section)
        return OutOfMemory;
    auto pixels = std::make_shared<DibExport>(source, static_cast<BYTE*>(bits), std::int64_t(size.width()) * 4,
                                              background);
    if (source->isDecoded() && pixelCount(size) <= kEagerFillPixels) {
        const bool filled = pixels->fill(QRect(QPoint(0, 0), size));
        if (!filled) {
            DeleteObject(section);
            return OutOfMemory;
        }
    } else {
        GdiSetDeferredSource(section, [pixels](const QRect& region) { return pixels->fill(region); });
        GdiSetDeferredCopy(section,
                           [pixels](const QRect& region, const GdiPixelRows& rows) { return pixels->copyTo(region, rows); });
    }
    *bitmap = section;
    return Ok;
}

bool DibExport::isFilled(const QRect& region) const
{
    for (const QRect& done : m_filled)
        if (done.contains(region))
            return true;
    return false;
}

bool DibExport::decode(const QRect& region, QImage* pixels) const
{
    *pixels = m_source->decodeRegion(region);
    if (pixels->isNull() || pixels->size() != region.size())
        return false;
    if (pixels->format() != QImage::Format_RGB32)
        pixels->convertTo(QImage::Format_ARGB32_Premultiplied);
    return true;
}

bool DibExport::fill(const QRect& region)
{
    if (isFilled(region))
        return true;
    QImage pixels;
    if (!decode(region, &pixels))
        return false;
    store(pixels, region.topLeft());
    m_filled.push_back(region);
    return true;
}

bool DibExport::copyTo(const QRect& region, const GdiPixelRows& rows)
{
    if (isFilled(region)) {
        for (int y = 0; y < region.height(); ++y)
            PixelRows::convert(m_bits + (region.top() + y) * m_stride, 32, region.left(), rows.row(y), rows.bitsPerPixel,
                               region.width());
        return true;
    }
    if (m_source->decodesInto(region))
        return m_source->decodeRegionInto(region, rows);
    QImage pixels;
    if (!decode(region, &pixels))
        return false;
    const bool plainCopy = pixels.format() == QImage::Format_RGB32 || m_background == 0;
    const std::array<BYTE, 4> background = backgroundPixel(m_background);
    std::vector<BYTE> composited(plainCopy ? 0 : std::size_t(region.width()) * 4);
    for (int y = 0; y < pixels.height(); ++y) {
        const BYTE* row = pixels.constScanLine(y);
        if (!plainCopy) {
            compositeRow(row, composited.data(), pixels.width(), background.data());
            row = composited.data();
        }
        PixelRows::convert(row, 32, 0, rows.row(y), rows.bitsPerPixel, pixels.width());
    }
    return true;
}

void DibExport::store(const QImage& pixels, const QPoint& at)
{
    const std::array<BYTE, 4> background = backgroundPixel(m_background);
    const bool plainCopy = pixels.format() == QImage::Format_RGB32 || m_background == 0;
    for (int y = 0; y < pixels.height(); ++y) {
        BYTE* out = m_bits + (at.y() + y) * m_stride + std::int64_t(at.x()) * 4;
        if (plainCopy)
            std::memcpy(out, pixels.constScanLine(y), std::size_t(pixels.width()) * 4);
        else
            compositeRow(pixels.constScanLine(y), out, pixels.width(), background.data());
    }
}
