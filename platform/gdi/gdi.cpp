// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/gdi/gdi.h"

#include "platform/gdi/gdibitmap.h"
#include "platform/gdi/gdibrush.h"
#include "platform/gdi/gdicontext.h"

#include <QImage>
#include <QRect>

namespace {

bool isSupportedDibHeader(const BITMAPINFOHEADER& header)
{
    return header.biSize >= sizeof(BITMAPINFOHEADER) && header.biPlanes == 1 && header.biCompression == BI_RGB
        && (header.biBitCount == 24 || header.biBitCount == 32);
}

QRect toQRect(const RECT& rect)
{
    return QRect(QPoint(rect.left, rect.top), QPoint(rect.right - 1, rect.bottom - 1));
}

} // namespace

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset)
{
    if (bits)
        *bits = nullptr;
    if (!info || usage != DIB_RGB_COLORS || section || offset != 0 || !isSupportedDibHeader(info->bmiHeader))
        return nullptr;
    const BITMAPINFOHEADER& header = info->bmiHeader;
    std::unique_ptr<GdiBitmap> bitmap = GdiBitmap::createDibSection(header.biWidth, header.biHeight, header.biBitCount);
    if (!bitmap)
        return nullptr;
    if (bits)
        *bits = bitmap->bits();
    return bitmap.release();
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height)
{
    if (!hdc || width < 0 || height < 0)
        return nullptr;
    if (width == 0 || height == 0)
        return GdiBitmap::stock();
    return GdiBitmap::createDeviceDependent(width, height).release();
}

int GetObjectA(HGDIOBJ object, int bufferBytes, void* buffer)
{
    if (!object || object->kind() != GdiObject::Kind::Bitmap)
        return 0;
    const auto* bitmap = static_cast<const GdiBitmap*>(object);
    const int full = bitmap->isDibSection() ? GDI_DIBSECTION_BYTES : GDI_BITMAP_BYTES;
    if (!buffer)
        return full;
    if (bitmap->isDibSection() && bufferBytes >= GDI_DIBSECTION_BYTES) {
        bitmap->describe(static_cast<DIBSECTION*>(buffer));
        return GDI_DIBSECTION_BYTES;
    }
    if (bufferBytes < GDI_BITMAP_BYTES)
        return 0;
    bitmap->describe(static_cast<BITMAP*>(buffer));
    return GDI_BITMAP_BYTES;
}

BOOL DeleteObject(HGDIOBJ object)
{
    if (!object)
        return 0;
    if (object->isStock())
        return 1;
    if (object->kind() == GdiObject::Kind::Bitmap && static_cast<GdiBitmap*>(object)->selectedInto())
        return 0;
    delete object;
    return 1;
}

int GetObjectA(HBITMAP bitmap, int bufferBytes, void* buffer)
{
    return GetObjectA(static_cast<HGDIOBJ>(bitmap), bufferBytes, buffer);
}

BOOL DeleteObject(HBITMAP bitmap)
{
    return DeleteObject(static_cast<HGDIOBJ>(bitmap));
}

BOOL DeleteObject(HBRUSH brush)
{
    return DeleteObject(static_cast<HGDIOBJ>(brush));
}

HDC CreateCompatibleDC(HDC)
{
    return GdiContext::createMemory().release();
}

BOOL DeleteDC(HDC hdc)
{
    if (!hdc)
        return 0;
    delete hdc;
    return 1;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object)
{
    return hdc ? hdc->select(object) : nullptr;
}

HBITMAP SelectObject(HDC hdc, HBITMAP bitmap)
{
    return static_cast<HBITMAP>(SelectObject(hdc, static_cast<HGDIOBJ>(bitmap)));
}

HBRUSH SelectObject(HDC hdc, HBRUSH brush)
{
    return static_cast<HBRUSH>(SelectObject(hdc, static_cast<HGDIOBJ>(brush)));
}

HBRUSH CreateSolidBrush(COLORREF color)
{
    return new GdiBrush(color & 0x00FFFFFF);
}

int FillRect(HDC hdc, const RECT* rect, HBRUSH brush)
{
    if (!hdc || !rect || !brush)
        return 0;
    if (rect->right <= rect->left || rect->bottom <= rect->top)
        return 1;
    return hdc->fill(toQRect(*rect), brush->color()) ? 1 : 0;
}

BOOL BitBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, DWORD rop)
{
    if (!destination || !source || rop != SRCCOPY || width < 0 || height < 0)
        return 0;
    if (width == 0 || height == 0)
        return 1;
    return destination->copyFrom(*source, QRect(x, y, width, height), QPoint(sourceX, sourceY)) ? 1 : 0;
}

HDC GdiCreatePainterDC(QPainter* painter)
{
    return GdiContext::createPainter(painter).release();
}

QPainter* GdiContextPainter(HDC hdc)
{
    return hdc ? hdc->painter() : nullptr;
}

HBITMAP GdiContextBitmap(HDC hdc)
{
    if (!hdc || hdc->painter())
        return nullptr;
    return hdc->bitmap();
}

QImage GdiBitmapToImage(HBITMAP bitmap)
{
    return bitmap ? bitmap->toImage(bitmap->bounds()) : QImage();
}

BOOL GdiDrawImage(HDC hdc, const QRect& target, const QImage& image)
{
    return hdc && hdc->drawImage(target, image) ? 1 : 0;
}

void GdiSetDeferredSource(HBITMAP bitmap, std::function<bool(const QRect&)> source)
{
    if (bitmap && !bitmap->isStock())
        bitmap->setDeferredSource(std::move(source));
}

void GdiSetDeferredCopy(HBITMAP bitmap, std::function<bool(const QRect&, const GdiPixelRows&)> copy)
{
    if (bitmap && !bitmap->isStock())
        bitmap->setDeferredCopy(std::move(copy));
}
