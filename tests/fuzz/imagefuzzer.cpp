// SPDX-License-Identifier: GPL-2.0-or-later
// Arbitrary bytes as a photo file of one extension (STREVIO_FUZZ_EXTENSION), through the calls the
// program makes on a photo: the photo list's thumbnail, a film frame and the single-photo view.

#include "imaging/gdiplus.h"
#include "platform/gdi/gdi.h"
#include "tests/fuzz/fuzzphotofile.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr UINT kThumbWidth = 100;
constexpr int kCanvasSize = 2000;
constexpr int kViewWidth = 160;
constexpr int kViewHeight = 120;

const WCHAR* asWide(const char16_t* path)
{
    return reinterpret_cast<const WCHAR*>(path);
}

HBITMAP createDib(int width, int height, int bitsPerPixel)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = WORD(bitsPerPixel);
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

// The film's 24-bit canvas in its memory context, made once: each frame overwrites it.
HDC filmCanvas()
{
    static HDC canvas = [] {
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP bitmap = createDib(kCanvasSize, kCanvasSize, 24);
        if (!dc || !bitmap) {
            std::fprintf(stderr, "cannot make the film canvas\n");
            std::abort();
        }
        SelectObject(dc, bitmap);
        return dc;
    }();
    return canvas;
}

void checkSize(const char* what, UINT value, UINT reported)
{
    if (value != reported) {
        std::fprintf(stderr, "%s changed between calls: %u then %u\n", what, reported, value);
        std::abort();
    }
}

void makeThumbnail(GpImage* image, UINT width, UINT height)
{
    GpImage* thumbnail = nullptr;
    if (GdipGetImageThumbnail(image, kThumbWidth, (kThumbWidth * height) / width, &thumbnail, nullptr, nullptr) != Ok)
        return;
    HBITMAP bitmap = nullptr;
    if (GdipCreateHBITMAPFromBitmap(GdipImageAsBitmap(thumbnail), &bitmap, 0) == Ok && bitmap) {
        // The services clamp each side of a thumbnail to 1..65535.
        const QSize asked(int(kThumbWidth), int(std::clamp<UINT>((kThumbWidth * height) / width, 1, 65535)));
        const QImage pixels = GdiBitmapToImage(bitmap);
        if (!pixels.isNull() && pixels.size() != asked) {
            std::fprintf(stderr, "thumbnail of %dx%d for %dx%d\n", pixels.width(), pixels.height(), asked.width(),
                         asked.height());
            std::abort();
        }
        DeleteObject(bitmap);
    }
    GdipDisposeImage(thumbnail);
}

void filmFrame(GpBitmap* photo)
{
    HBITMAP bitmap = nullptr;
    if (GdipCreateHBITMAPFromBitmap(photo, &bitmap, 0) != Ok || !bitmap)
        return;
    DIBSECTION section{};
    GetObjectA(bitmap, GDI_DIBSECTION_BYTES, &section);
    HDC photoDC = CreateCompatibleDC(nullptr);
    HBITMAP previous = SelectObject(photoDC, bitmap);
    BitBlt(filmCanvas(), 0, 0, kCanvasSize, kCanvasSize, photoDC, 0, 0, SRCCOPY);
    SelectObject(photoDC, previous);
    DeleteDC(photoDC);
    DeleteObject(bitmap);
}

// The photo list and the film both start from GdipCreateBitmapFromFile.
void listAndFilm(const char16_t* path)
{
    GpBitmap* bitmap = nullptr;
    const GpStatus status = GdipCreateBitmapFromFile(asWide(path), &bitmap);
    if ((status == Ok) != (bitmap != nullptr)) {
        std::fprintf(stderr, "status %d with bitmap %p\n", int(status), static_cast<void*>(bitmap));
        std::abort();
    }
    GpImage* image = GdipBitmapAsImage(bitmap);
    UINT height = 0;
    UINT width = 0;
    GdipGetImageHeight(image, &height);
    GdipGetImageWidth(image, &width);
    if (width > 0 && height > 0)
        makeThumbnail(image, width, height);
    if (bitmap) {
        filmFrame(bitmap);
        UINT again = 0;
        GdipGetImageWidth(image, &again);
        checkSize("width", again, width);
        GdipGetImageHeight(image, &again);
        checkSize("height", again, height);
        GdipDisposeImage(image);
    }
}

// The single-photo view: GdipLoadImageFromFile drawn at the view's width.
void photoView(const char16_t* path)
{
    GpImage* image = nullptr;
    GdipLoadImageFromFile(asWide(path), &image);
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP view = createDib(kViewWidth, kViewHeight, 32);
    HBITMAP previous = SelectObject(dc, view);
    GpGraphics* graphics = nullptr;
    GdipCreateFromHDC(dc, &graphics);
    UINT height = 0;
    UINT width = 0;
    GdipGetImageHeight(image, &height);
    GdipGetImageWidth(image, &width);
    if (width > 0 && height > 0)
        GdipDrawImageRectI(graphics, image, 0, 0, kViewWidth, INT((UINT(kViewWidth) * height) / width));
    if (graphics)
        GdipDeleteGraphics(graphics);
    SelectObject(dc, previous);
    DeleteObject(view);
    DeleteDC(dc);
    if (image)
        GdipDisposeImage(image);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Metafile text is measured with Qt's fonts, which need the application object.
    static int argc = 1;
    static char name[] = "strevio-fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
    // Load the font database now, so that its one-time allocations are not charged to an input.
    QFontDatabase::families();
    ULONG_PTR token = 0;
    GdiplusStartupInput input;
    GdiplusStartup(&token, &input, nullptr);
    filmCanvas();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static FuzzPhotoFile photo(STREVIO_FUZZ_EXTENSION);
    if (!photo.write(data, size)) {
        std::fprintf(stderr, "cannot write the photo file\n");
        std::abort();
    }
    listAndFilm(photo.widePath());
    photoView(photo.widePath());
    return 0;
}
