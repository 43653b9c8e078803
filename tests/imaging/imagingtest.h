// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Small owners and probes shared by the image-service tests.

#include "imaging/gdiplus.h"
#include "tests/imaging/fixtures.h"

#include <QImage>
#include <QString>

#include <cstddef>
#include <cstring>

// A bitmap opened from a file, disposed at the end of the scope.
struct OpenedBitmap {
    explicit OpenedBitmap(const QString& path)
    {
        const std::u16string name = wide(path);
        status = GdipCreateBitmapFromFile(name.c_str(), &bitmap);
    }
    ~OpenedBitmap()
    {
        if (bitmap)
            GdipDisposeImage(GdipBitmapAsImage(bitmap));
    }
    GpImage* image() const { return GdipBitmapAsImage(bitmap); }
    QSize size() const
    {
        UINT width = 99, height = 99;
        GdipGetImageHeight(image(), &height);
        GdipGetImageWidth(image(), &width);
        return QSize(int(width), int(height));
    }

    GpBitmap* bitmap = nullptr;
    GpStatus status = GenericError;
};

// The full pixels of an image, through the GDI bitmap the services hand out.
inline QImage pixelsOf(GpImage* image)
{
    HBITMAP handle = nullptr;
    if (GdipCreateHBITMAPFromBitmap(GdipImageAsBitmap(image), &handle, 0) != Ok)
        return QImage();
    QImage pixels = GdiBitmapToImage(handle);
    DeleteObject(handle);
    return pixels;
}

// A thumbnail's pixels, or a null image with the status.
inline QImage thumbnailOf(GpImage* image, UINT width, UINT height, GpStatus* status = nullptr)
{
    GpImage* thumbnail = nullptr;
    const GpStatus result = GdipGetImageThumbnail(image, width, height, &thumbnail, nullptr, nullptr);
    if (status)
        *status = result;
    if (result != Ok)
        return QImage();
    QImage pixels = pixelsOf(thumbnail);
    GdipDisposeImage(thumbnail);
    return pixels;
}

// A photo copied onto the top-left corner of a black 2000 × 2000 canvas, as a film frame is
// composed, and how much the peak resident memory grew while its bitmap was made and copied.
struct FilmCorner {
    QImage frame;
    long growthKiB = 0;
};

inline FilmCorner copyOntoFilmCanvas(GpBitmap* photo)
{
    FilmCorner corner;
    const BITMAPINFO info{{sizeof(BITMAPINFOHEADER), 2000, 2000, 1, 24, BI_RGB, 0, 0, 0, 0, 0}, {}};
    void* memory = nullptr;
    HBITMAP canvas = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
    if (!canvas)
        return corner;
    std::memset(memory, 0, std::size_t(2000) * 2000 * 3);
    HDC canvasDc = CreateCompatibleDC(nullptr), photoDc = CreateCompatibleDC(nullptr);
    HBITMAP oldCanvas = SelectObject(canvasDc, canvas);

    resetPeakRss();
    const long before = peakRssKiB();
    HBITMAP picture = nullptr;
    const bool copied = GdipCreateHBITMAPFromBitmap(photo, &picture, 0) == Ok;
    HBITMAP oldPhoto = copied ? SelectObject(photoDc, picture) : nullptr;
    const bool blitted = copied && BitBlt(canvasDc, 0, 0, 2000, 2000, photoDc, 0, 0, SRCCOPY) != 0;
    corner.growthKiB = peakRssKiB() - before;

    if (copied) {
        SelectObject(photoDc, oldPhoto);
        DeleteObject(picture);
    }
    SelectObject(canvasDc, oldCanvas);
    DeleteDC(photoDc);
    DeleteDC(canvasDc);
    if (blitted)
        corner.frame = GdiBitmapToImage(canvas);
    DeleteObject(canvas);
    return corner;
}
