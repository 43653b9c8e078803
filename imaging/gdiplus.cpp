// SPDX-License-Identifier: GPL-2.0-or-later
#include "imaging/gdiplus.h"

#include "imaging/dibexport.h"
#include "imaging/gpimage.h"
#include "imaging/imagefile.h"
#include "imaging/imagelimits.h"
#include "imaging/stillsource.h"

#include <QString>

#include <cstdlib>

namespace {

// The only state of the services: the tokens handed out by GdiplusStartup.
ULONG_PTR g_lastStartupToken = 0;

constexpr UINT kDefaultThumbnailSide = 120;

GpStatus createBitmap(const WCHAR* filename, GpBitmap** bitmap)
{
    if (!bitmap)
        return InvalidParameter;
    *bitmap = nullptr;
    if (!filename)
        return InvalidParameter;
    std::shared_ptr<ImageSource> source;
    const GpStatus status = ImageFile::open(QString::fromUtf16(filename), &source);
    if (status != Ok)
        return status;
    *bitmap = new (std::nothrow) GpBitmap(std::move(source));
    return *bitmap ? Ok : OutOfMemory;
}

QImage exactly(const QImage& image, const QSize& size)
{
    if (image.size() == size)
        return image;
    return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

GpStatus GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, void* output)
{
    if (!token || !input)
        return InvalidParameter;
    if (input->GdiplusVersion != 1)
        return UnsupportedGdiplusVersion;
    if (input->SuppressBackgroundThread && !output)
        return InvalidParameter;
    *token = ++g_lastStartupToken;
    return Ok;
}

void GdiplusShutdown(ULONG_PTR) {}

GpStatus GdipLoadImageFromFile(const WCHAR* filename, GpImage** image)
{
    if (!image)
        return InvalidParameter;
    GpBitmap* bitmap = nullptr;
    const GpStatus status = createBitmap(filename, &bitmap);
    *image = bitmap;
    return status;
}

GpStatus GdipCreateBitmapFromFile(const WCHAR* filename, GpBitmap** bitmap)
{
    return createBitmap(filename, bitmap);
}

GpStatus GdipGetImageHeight(GpImage* image, UINT* height)
{
    if (!height)
        return InvalidParameter;
    if (!image)
        return *height = 0, InvalidParameter;
    *height = UINT(image->source->size().height());
    return Ok;
}

GpStatus GdipGetImageWidth(GpImage* image, UINT* width)
{
    if (!width)
        return InvalidParameter;
    if (!image)
        return *width = 0, InvalidParameter;
    *width = UINT(image->source->size().width());
    return Ok;
}

GpStatus GdipGetImageThumbnail(GpImage* image, UINT width, UINT height, GpImage** thumbnail,
                               GetThumbnailImageAbort, void*)
{
    if (!thumbnail)
        return InvalidParameter;
    *thumbnail = nullptr;
    if (!image)
        return InvalidParameter;
    if (width == 0 && height == 0)
        width = height = kDefaultThumbnailSide;
    const QSize size(int(std::clamp<UINT>(width, 1, 65535)), int(std::clamp<UINT>(height, 1, 65535)));
    if (!fitsPixelBudget(size))
        return OutOfMemory;
    const QImage reduced = image->source->decodeReduced(size);
    if (reduced.isNull())
        return OutOfMemory;
    const QImage scaled = exactly(reduced, size);
    if (scaled.isNull())
        return OutOfMemory;
    *thumbnail = new (std::nothrow) GpBitmap(std::make_shared<StillSource>(scaled));
    return *thumbnail ? Ok : OutOfMemory;
}

GpStatus GdipCreateHBITMAPFromBitmap(GpBitmap* bitmap, HBITMAP* hbitmap, ARGB background)
{
    if (!hbitmap)
        return InvalidParameter;
    *hbitmap = nullptr;
    if (!bitmap)
        return InvalidParameter;
    return DibExport::create(bitmap->source, background, hbitmap);
}

GpStatus GdipCreateFromHDC(HDC hdc, GpGraphics** graphics)
{
    if (!graphics)
        return InvalidParameter;
    *graphics = nullptr;
    if (!hdc)
        return OutOfMemory;
    *graphics = new (std::nothrow) GpGraphics{hdc};
    return *graphics ? Ok : OutOfMemory;
}

GpStatus GdipDrawImageRectI(GpGraphics* graphics, GpImage* image, INT x, INT y, INT width, INT height)
{
    if (!graphics || !image)
        return InvalidParameter;
    if (width <= 0 || height <= 0)
        return Ok;
    const QImage reduced = image->source->decodeReduced(QSize(width, height));
    if (reduced.isNull())
        return OutOfMemory;
    return GdiDrawImage(graphics->hdc, QRect(x, y, width, height), reduced) ? Ok : GenericError;
}

GpStatus GdipDeleteGraphics(GpGraphics* graphics)
{
    if (!graphics)
        return InvalidParameter;
    delete graphics;
    return Ok;
}

GpStatus GdipDisposeImage(GpImage* image)
{
    if (!image)
        return InvalidParameter;
    delete image;
    return Ok;
}

void* GdipAlloc(std::size_t size)
{
    return std::malloc(size ? size : 1);
}

void GdipFree(void* ptr)
{
    std::free(ptr);
}

GpStatus GdipCreateBitmapFromImage(const QImage& image, GpBitmap** bitmap)
{
    if (!bitmap)
        return InvalidParameter;
    *bitmap = nullptr;
    if (image.isNull() || !fitsPixelBudget(image.size()))
        return InvalidParameter;
    *bitmap = new (std::nothrow) GpBitmap(std::make_shared<StillSource>(image));
    return *bitmap ? Ok : OutOfMemory;
}

GpImage* GdipBitmapAsImage(GpBitmap* bitmap)
{
    return bitmap;
}

GpBitmap* GdipImageAsBitmap(GpImage* image)
{
    return dynamic_cast<GpBitmap*>(image);
}
