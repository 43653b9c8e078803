#pragma once
// Small owners and probes shared by the image-service tests.

#include "imaging/gdiplus.h"
#include "tests/imaging/fixtures.h"

#include <QImage>
#include <QString>

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
