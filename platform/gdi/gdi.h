// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The in-memory graphics device interface: bitmaps (DIB sections with addressable pixels and
// device-dependent bitmaps), memory drawing contexts, solid fill and block copy, with the
// Windows operation names the program relies on. Drawing contexts may also wrap a QPainter
// (a window or a printer), so that the image services can draw photos onto them.

#include "platform/wintypes.h"

#include <cstdint>
#include <functional>

class QImage;
class QPainter;
class QRect;

struct GdiObject;
struct GdiBitmap;
struct GdiBrush;
struct GdiContext;

using HGDIOBJ = GdiObject*;
using HBITMAP = GdiBitmap*;
using HBRUSH = GdiBrush*;
using HDC = GdiContext*;
using HANDLE = void*;

struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    void* bmBits;
};

struct DIBSECTION {
    BITMAP dsBm;
    BITMAPINFOHEADER dsBmih;
    DWORD dsBitfields[3];
    HANDLE dshSection;
    DWORD dsOffset;
};

// GetObjectA answers with the byte counts of the 32-bit Windows records, which is what its
// callers compare against; the buffer passed must be the matching record of this header.
constexpr int GDI_DIBSECTION_BYTES = 84;
constexpr int GDI_BITMAP_BYTES = 24;

constexpr UINT DIB_RGB_COLORS = 0;
constexpr DWORD SRCCOPY = 0x00CC0020;

// Bitmaps
HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset);
HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height); // device-dependent, 32 bpp
int GetObjectA(HGDIOBJ object, int bufferBytes, void* buffer);
BOOL DeleteObject(HGDIOBJ object);
// The handle types are distinct here, not one opaque pointer; these take them as they are.
int GetObjectA(HBITMAP bitmap, int bufferBytes, void* buffer);
BOOL DeleteObject(HBITMAP bitmap);
BOOL DeleteObject(HBRUSH brush);

// Drawing contexts
HDC CreateCompatibleDC(HDC hdc); // null: compatible with the screen
BOOL DeleteDC(HDC hdc);
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object);
HBITMAP SelectObject(HDC hdc, HBITMAP bitmap); // the bitmap selected before, or null
HBRUSH SelectObject(HDC hdc, HBRUSH brush);

// Painting
HBRUSH CreateSolidBrush(COLORREF color);
int FillRect(HDC hdc, const RECT* rect, HBRUSH brush);
BOOL BitBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
            DWORD rop);

// Bridges to Qt (this layer links Qt Gui only).
HDC GdiCreatePainterDC(QPainter* painter); // released with DeleteDC; the painter stays the caller's
QPainter* GdiContextPainter(HDC hdc);       // the wrapped painter, or null for a memory context
HBITMAP GdiContextBitmap(HDC hdc);          // the bitmap selected into a memory context, or null
QImage GdiBitmapToImage(HBITMAP bitmap);    // a deep copy of the bitmap's pixels, upright (null if
                                            // its deferred source fails)

// Draws the whole image stretched into `target` (smooth scaling, alpha blended) on a painter
// context or into the bitmap of a memory context.
BOOL GdiDrawImage(HDC hdc, const QRect& target, const QImage& image);

// Lets a bitmap's pixels be produced on demand: `source` is called with each region (top-down
// pixel coordinates, inside the bitmap) before BitBlt or GdiBitmapToImage reads it, and returns
// false when it could not fill it. The bitmap keeps the callable until it is deleted.
void GdiSetDeferredSource(HBITMAP bitmap, std::function<bool(const QRect&)> source);

// Rows of 24-bit (B, G, R) or 32-bit (B, G, R, A) pixels: `first` is the leftmost pixel of the
// top row, `step` the byte distance to the row below it (negative in a bottom-up bitmap).
struct GdiPixelRows {
    BYTE* first;
    std::int64_t step;
    int bitsPerPixel;

    BYTE* row(int y) const { return first + step * y; }
};

// Lets BitBlt from a bitmap with a deferred source skip the bitmap's own pixels: `copy` is called
// with the region read (as for the source) and the destination's rows, writes the region's pixels
// straight into them, and returns false when it could not; the rows may then be partly written.
// A film frame so never commits the memory of the photo it copies from.
void GdiSetDeferredCopy(HBITMAP bitmap, std::function<bool(const QRect&, const GdiPixelRows&)> copy);
