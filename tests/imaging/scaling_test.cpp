// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/imaging/imagingtest.h"

#include <gtest/gtest.h>

#include <QImageWriter>
#include <QPainter>

namespace {

constexpr int kBright = 800; // block value of grey 228
constexpr int kDark = -800;  // grey 28

// Left half bright, right half dark.
int leftBright(int bx, int widthInBlocks)
{
    return bx < widthInBlocks / 2 ? kBright : kDark;
}

BITMAPINFO canvasHeader(int side)
{
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), side, side, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    return info;
}

// What a film frame shows of a photo: a 24-bit bottom-up canvas, black, with the photo's
// GDI bitmap copied onto its top-left corner.
QImage filmFrame(GpBitmap* photo, int side)
{
    const BITMAPINFO info = canvasHeader(side);
    HBITMAP canvas = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
    HBITMAP picture = nullptr;
    if (GdipCreateHBITMAPFromBitmap(photo, &picture, 0) != Ok)
        return QImage();
    HDC canvasDc = CreateCompatibleDC(nullptr), photoDc = CreateCompatibleDC(nullptr);
    HBITMAP oldCanvas = SelectObject(canvasDc, canvas), oldPhoto = SelectObject(photoDc, picture);
    HBRUSH black = CreateSolidBrush(RGB(0, 0, 0));
    const RECT all{0, 0, side, side};
    FillRect(canvasDc, &all, black);
    const BOOL copied = BitBlt(canvasDc, 0, 0, side, side, photoDc, 0, 0, SRCCOPY);
    SelectObject(canvasDc, oldCanvas);
    SelectObject(photoDc, oldPhoto);
    DeleteDC(canvasDc);
    DeleteDC(photoDc);
    DeleteObject(black);
    DeleteObject(picture);
    QImage frame = copied ? GdiBitmapToImage(canvas) : QImage();
    DeleteObject(canvas);
    return frame;
}

} // namespace

class ImagingScaling : public testing::Test {
protected:
    Fixtures files;
};

TEST_F(ImagingScaling, ThumbnailsHaveExactlyTheSizeAsked)
{
    const QString wide = files.path("wide.jpg"), tall = files.path("tall.jpg");
    Fixtures::writeBlockJpeg(wide, 4000, 3000, [](int bx, int) { return leftBright(bx, 500); });
    Fixtures::writeBlockJpeg(tall, 3000, 4000, [](int bx, int) { return leftBright(bx, 375); });
    struct Case {
        QString path;
        QSize photo, thumbnail;
    };
    for (const Case& c : {Case{wide, {4000, 3000}, {100, 75}}, Case{tall, {3000, 4000}, {100, 133}}}) {
        OpenedBitmap photo(c.path);
        ASSERT_EQ(photo.status, Ok);
        ASSERT_EQ(photo.size(), c.photo);
        const UINT height = 100 * UINT(c.photo.height()) / UINT(c.photo.width());
        const QImage thumbnail = thumbnailOf(photo.image(), 100, height);
        ASSERT_EQ(thumbnail.size(), c.thumbnail);
        EXPECT_TRUE(nearColor(thumbnail.pixel(10, 30), qRgb(228, 228, 228), 6));
        EXPECT_TRUE(nearColor(thumbnail.pixel(90, 30), qRgb(28, 28, 28), 6));
    }
}

// A small thumbnail of a progressive JPEG comes from its first (DC) scans only.
TEST_F(ImagingScaling, ProgressiveJpegThumbnailsMatchTheFullPicture)
{
    QImageWriter writer(files.path("p.jpg"), "jpeg");
    writer.setProgressiveScanWrite(true);
    writer.setQuality(90);
    ASSERT_TRUE(writer.write(Fixtures::quadrants(800, 600)));
    OpenedBitmap photo(files.path("p.jpg"));
    ASSERT_EQ(photo.status, Ok);
    const QImage thumbnail = thumbnailOf(photo.image(), 100, 75);
    ASSERT_EQ(thumbnail.size(), QSize(100, 75));
    EXPECT_TRUE(nearColor(thumbnail.pixel(10, 10), qRgb(255, 0, 0), 8));
    EXPECT_TRUE(nearColor(thumbnail.pixel(90, 10), qRgb(0, 255, 0), 8));
    EXPECT_TRUE(nearColor(thumbnail.pixel(10, 65), qRgb(0, 0, 255), 8));
    EXPECT_TRUE(nearColor(thumbnail.pixel(90, 65), qRgb(255, 255, 255), 8));
    const QImage full = pixelsOf(photo.image());
    EXPECT_TRUE(nearColor(full.pixel(799, 599), qRgb(255, 255, 255), 8));
}

TEST_F(ImagingScaling, ThumbnailsOfPngKeepTheirColoursAnyAspect)
{
    OpenedBitmap photo(files.writeImage("q.png", Fixtures::quadrants(400, 300), "png"));
    ASSERT_EQ(photo.status, Ok);
    const QImage squeezed = thumbnailOf(photo.image(), 20, 60);
    ASSERT_EQ(squeezed.size(), QSize(20, 60));
    EXPECT_EQ(squeezed.pixel(2, 2), qRgb(255, 0, 0));
    EXPECT_EQ(squeezed.pixel(17, 57), qRgb(255, 255, 255));
    EXPECT_EQ(thumbnailOf(photo.image(), 0, 0).size(), QSize(120, 120));
}

TEST_F(ImagingScaling, TransparentAreasComeOutBlackInAFilmFrame)
{
    QImage picture(10, 10, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    for (int x = 0; x < 5; ++x)
        picture.setPixel(x, 0, qRgb(255, 255, 0));
    OpenedBitmap photo(files.writeImage("t.png", picture, "png"));
    ASSERT_EQ(photo.status, Ok);
    const QImage frame = filmFrame(photo.bitmap, 16);
    ASSERT_FALSE(frame.isNull());
    EXPECT_EQ(frame.pixel(0, 0), qRgb(255, 255, 0));
    EXPECT_EQ(frame.pixel(7, 0), qRgb(0, 0, 0));
    EXPECT_EQ(frame.pixel(3, 5), qRgb(0, 0, 0));
}

TEST_F(ImagingScaling, FilmFrameCutsAPhotoAtTheRightAndKeepsBlackBelow)
{
    // Blocks alternate bright and dark by column, so a shifted copy would show.
    const QString path = files.path("p.jpg");
    Fixtures::writeBlockJpeg(path, 2500, 1800, [](int bx, int) { return bx % 2 ? kDark : kBright; });
    OpenedBitmap photo(path);
    ASSERT_EQ(photo.status, Ok);
    const QImage frame = filmFrame(photo.bitmap, 2000);
    ASSERT_EQ(frame.size(), QSize(2000, 2000));
    EXPECT_TRUE(nearColor(frame.pixel(0, 0), qRgb(228, 228, 228), 4));
    EXPECT_TRUE(nearColor(frame.pixel(8, 0), qRgb(28, 28, 28), 4));
    EXPECT_TRUE(nearColor(frame.pixel(1999, 1799), qRgb(28, 28, 28), 4)); // block 249 is odd
    EXPECT_TRUE(nearColor(frame.pixel(1990, 1795), qRgb(228, 228, 228), 4));
    EXPECT_EQ(frame.pixel(1000, 1800), qRgb(0, 0, 0));
    EXPECT_EQ(frame.pixel(1999, 1999), qRgb(0, 0, 0));
}

TEST_F(ImagingScaling, DrawsTheWholeImageStretchedOnAPainter)
{
    QImage tiny(3, 2, QImage::Format_RGB32);
    tiny.fill(Qt::blue);
    tiny.setPixel(2, 1, qRgb(255, 0, 0));
    const std::u16string path = wide(files.writeImage("tiny.png", tiny, "png"));
    QImage window(1100, 700, QImage::Format_RGB32);
    window.fill(Qt::white);
    QPainter painter(&window);
    HDC dc = GdiCreatePainterDC(&painter);
    GpImage* image = nullptr;
    ASSERT_EQ(GdipLoadImageFromFile(path.c_str(), &image), Ok);
    GpGraphics* graphics = nullptr;
    ASSERT_EQ(GdipCreateFromHDC(dc, &graphics), Ok);
    EXPECT_EQ(GdipDrawImageRectI(graphics, image, 0, 0, 1000, 666), Ok);
    GdipDeleteGraphics(graphics);
    GdipDisposeImage(image);
    DeleteDC(dc);
    painter.end();
    EXPECT_EQ(window.pixel(20, 20), qRgb(0, 0, 255));
    EXPECT_EQ(window.pixel(980, 650), qRgb(255, 0, 0));
    EXPECT_EQ(window.pixel(1050, 300), qRgb(255, 255, 255));
    EXPECT_EQ(window.pixel(500, 680), qRgb(255, 255, 255));
}

TEST_F(ImagingScaling, DrawsShrunkIntoAMemoryContext)
{
    const QString path = files.path("big.jpg");
    Fixtures::writeBlockJpeg(path, 1600, 1200, [](int bx, int) { return leftBright(bx, 200); });
    BITMAPINFO info = canvasHeader(100);
    HBITMAP target = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP old = SelectObject(dc, target);
    OpenedBitmap photo(path);
    GpGraphics* graphics = nullptr;
    ASSERT_EQ(GdipCreateFromHDC(dc, &graphics), Ok);
    EXPECT_EQ(GdipDrawImageRectI(graphics, photo.image(), 0, 0, 80, 60), Ok);
    EXPECT_EQ(GdipDrawImageRectI(graphics, nullptr, 0, 0, 80, 60), InvalidParameter);
    GdipDeleteGraphics(graphics);
    SelectObject(dc, old);
    DeleteDC(dc);
    const QImage result = GdiBitmapToImage(target);
    DeleteObject(target);
    EXPECT_TRUE(nearColor(result.pixel(5, 30), qRgb(228, 228, 228), 6));
    EXPECT_TRUE(nearColor(result.pixel(75, 30), qRgb(28, 28, 28), 6));
    EXPECT_EQ(result.pixel(90, 30), qRgb(0, 0, 0));
    EXPECT_EQ(result.pixel(30, 70), qRgb(0, 0, 0));
}
