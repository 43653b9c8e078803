// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The image services: the flat image-codec operations the program calls, over real decoders
// (Qt's image plugins, libjpeg-turbo for fast scaled JPEG decoding, libwmf for WMF, libemf2svg
// with Qt Svg for EMF). Paths are UTF-16, NUL-terminated. Every operation returns a status and
// never throws.

#include "imaging/pixelbudget.h"
#include "platform/gdi/gdi.h"
#include "platform/wintypes.h"

#include <cstddef>

enum GpStatus {
    Ok = 0,
    GenericError = 1,
    InvalidParameter = 2,
    OutOfMemory = 3,
    ObjectBusy = 4,
    InsufficientBuffer = 5,
    NotImplemented = 6,
    Win32Error = 7,
    WrongState = 8,
    Aborted = 9,
    FileNotFound = 10,
    ValueOverflow = 11,
    AccessDenied = 12,
    UnknownImageFormat = 13,
    FontFamilyNotFound = 14,
    FontStyleNotFound = 15,
    NotTrueTypeFont = 16,
    UnsupportedGdiplusVersion = 17,
    GdiplusNotInitialized = 18,
    PropertyNotFound = 19,
    PropertyNotSupported = 20,
};

using ARGB = DWORD;

struct GpImage;
struct GpBitmap;
struct GpGraphics;

struct GdiplusStartupInput {
    UINT GdiplusVersion = 1;
    void* DebugEventCallback = nullptr;
    BOOL SuppressBackgroundThread = 0;
    BOOL SuppressExternalCodecs = 0;
};

using GetThumbnailImageAbort = BOOL (*)(void*);

GpStatus GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, void* output);
void GdiplusShutdown(ULONG_PTR token);

GpStatus GdipLoadImageFromFile(const WCHAR* filename, GpImage** image);
GpStatus GdipCreateBitmapFromFile(const WCHAR* filename, GpBitmap** bitmap);
GpStatus GdipGetImageHeight(GpImage* image, UINT* height);
GpStatus GdipGetImageWidth(GpImage* image, UINT* width);
GpStatus GdipGetImageThumbnail(GpImage* image, UINT width, UINT height, GpImage** thumbnail,
                               GetThumbnailImageAbort callback, void* callbackData);
GpStatus GdipCreateHBITMAPFromBitmap(GpBitmap* bitmap, HBITMAP* hbitmap, ARGB background);
GpStatus GdipCreateFromHDC(HDC hdc, GpGraphics** graphics);
GpStatus GdipDrawImageRectI(GpGraphics* graphics, GpImage* image, INT x, INT y, INT width, INT height);
GpStatus GdipDeleteGraphics(GpGraphics* graphics);
GpStatus GdipDisposeImage(GpImage* image);
void* GdipAlloc(std::size_t size);
void GdipFree(void* ptr);

// A bitmap of a picture already in memory (a thumbnail made ahead), as GdipGetImageThumbnail
// hands out its thumbnails.
GpStatus GdipCreateBitmapFromImage(const QImage& image, GpBitmap** bitmap);

// GpBitmap is a GpImage; this upcast keeps call sites free of casts.
GpImage* GdipBitmapAsImage(GpBitmap* bitmap);
// The bitmap an image is (a thumbnail, a loaded image), or null when it is none.
GpBitmap* GdipImageAsBitmap(GpImage* image);
