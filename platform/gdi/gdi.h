#pragma once
// The in-memory graphics device interface: bitmaps (DIB sections with addressable pixels and
// device-dependent bitmaps), memory drawing contexts, solid fill and block copy, with the
// Windows operation names the program relies on. Drawing contexts may also wrap a QPainter
// (a window or a printer), so that the image services can draw photos onto them.

#include "platform/wintypes.h"

class QImage;
class QPainter;

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

// Drawing contexts
HDC CreateCompatibleDC(HDC hdc); // null: compatible with the screen
BOOL DeleteDC(HDC hdc);
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object);

// Painting
HBRUSH CreateSolidBrush(COLORREF color);
int FillRect(HDC hdc, const RECT* rect, HBRUSH brush);
BOOL BitBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
            DWORD rop);

// Bridges to Qt (this layer links Qt Gui only).
HDC GdiCreatePainterDC(QPainter* painter); // released with DeleteDC; the painter stays the caller's
QPainter* GdiContextPainter(HDC hdc);       // the wrapped painter, or null for a memory context
HBITMAP GdiContextBitmap(HDC hdc);          // the bitmap selected into a memory context, or null
QImage GdiBitmapToImage(HBITMAP bitmap);    // a deep copy of the bitmap's pixels, upright
