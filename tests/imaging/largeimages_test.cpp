// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/imaging/imagingtest.h"
#include "tests/resourcelimits.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <algorithm>

namespace {

constexpr int kBright = 800; // grey 228
constexpr int kDark = -800;  // grey 28

// A checkerboard of 50 x 50-block squares over the top-left 2000 x 2000 pixels, grey 128 elsewhere.
int checkerInCorner(int bx, int by)
{
    if (bx >= 250 || by >= 250)
        return 0;
    return (bx / 50 + by / 50) % 2 ? kDark : kBright;
}

QRgb expectedChecker(int x, int y)
{
    return ((x / 400 + y / 400) % 2) ? qRgb(28, 28, 28) : qRgb(228, 228, 228);
}

} // namespace

class ImagingLargeImages : public testing::Test {
protected:
    Fixtures files;
};

TEST_F(ImagingLargeImages, GiantHeadersFailFastWithoutAllocating)
{
    const QString png = files.write("giant.png", Fixtures::pngHeaderOnly(100000, 100000));
    const QString jpeg = files.write("giant.jpg", Fixtures::jpegClaiming(65535, 65535));
    // Within what a baseline file may claim (its rows stream), but a progressive file is decoded
    // through the coefficients of the whole picture: 1.2 GB here.
    const QString progressive = files.write("giant-progressive.jpg", Fixtures::jpegClaiming(20000, 20000, true));
    // 2.1 million pixels, each of 1,000 samples: one strip of 2.1 GB.
    const QString tiff = files.write("giant.tif", Fixtures::tiffClaiming(4104, 512, 1000));
    const QString gif = files.write("giant.gif", Fixtures::gifClaiming(65535, 65535));
    const QString bmp = files.write("giant.bmp", Fixtures::bmpClaiming(100000, 100000));
    const QString upsideDownBmp = files.write("giant-top-down.bmp", Fixtures::bmpClaiming(100000, -100000));
    // The directory of an icon file cannot say more than 256 x 256; its images can.
    const QString pngIcon = files.write("giant-png.ico", Fixtures::iconClaiming(100000, 100000, true));
    const QString dibIcon = files.write("giant-dib.ico", Fixtures::iconClaiming(30000, 30000, false));
    const QString cursor = files.write("giant.cur", Fixtures::iconClaiming(100000, 100000, true, 2));
    for (const QString& path : {png, jpeg, progressive, tiff, gif, bmp, upsideDownBmp, pngIcon, dibIcon, cursor}) {
        resetPeakRss();
        const long before = peakRssKiB();
        QElapsedTimer timer;
        timer.start();
        OpenedBitmap bitmap(path);
        GpStatus thumbnailStatus = Ok;
        thumbnailOf(bitmap.image(), 100, 100, &thumbnailStatus);
        // Refused in well under a millisecond (bench/header-bombs); this only catches a stall.
        if (kChecksResourceLimits) {
            EXPECT_LT(timer.elapsed(), 1000) << path.toStdString();
            EXPECT_LT(peakRssKiB() - before, 50 * 1024) << path.toStdString();
        }
        EXPECT_NE(bitmap.status, Ok);
        EXPECT_NE(thumbnailStatus, Ok);
        EXPECT_EQ(bitmap.size(), QSize(0, 0));
    }
}

// The bombs above are refused for what they claim: the same files claiming less are read.
TEST_F(ImagingLargeImages, HeadersWithinTheBudgetAreRead)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        QSize size;
    };
    const Case cases[] = {
        {"small.gif", Fixtures::gifClaiming(2, 1), QSize(2, 1)},
        {"budget.gif", Fixtures::gifClaiming(16384, 16384), QSize(16384, 16384)},
        {"small.bmp", Fixtures::bmpClaiming(2, 2), QSize(2, 2)},
        {"small-top-down.bmp", Fixtures::bmpClaiming(2, -2), QSize(2, 2)},
        {"budget.bmp", Fixtures::bmpClaiming(16384, 16384), QSize(16384, 16384)},
        {"small-png.ico", Fixtures::iconClaiming(16, 16, true), QSize(16, 16)},
        {"small-dib.ico", Fixtures::iconClaiming(16, 16, false), QSize(16, 16)},
        {"small.cur", Fixtures::iconClaiming(16, 16, true, 2), QSize(16, 16)},
    };
    for (const Case& c : cases) {
        OpenedBitmap bitmap(files.write(c.name, c.bytes));
        EXPECT_EQ(bitmap.status, Ok) << c.name;
        EXPECT_EQ(bitmap.size(), c.size) << c.name;
    }
}

TEST_F(ImagingLargeImages, TenThousandBySevenThousandPhotoGivesAThumbnail)
{
    const QString path = files.path("large.jpg");
    Fixtures::writeBlockJpeg(path, 10000, 7000, [](int bx, int) { return bx < 625 ? kBright : kDark; });
    OpenedBitmap photo(path);
    ASSERT_EQ(photo.status, Ok);
    EXPECT_EQ(photo.size(), QSize(10000, 7000));
    const QImage thumbnail = thumbnailOf(photo.image(), 100, 70);
    ASSERT_EQ(thumbnail.size(), QSize(100, 70));
    EXPECT_TRUE(nearColor(thumbnail.pixel(20, 35), qRgb(228, 228, 228), 6));
    EXPECT_TRUE(nearColor(thumbnail.pixel(80, 35), qRgb(28, 28, 28), 6));
}

// 600 million pixels: over the budget for one piece, yet its film frame needs only a corner.
TEST_F(ImagingLargeImages, HugeJpegGivesItsTopLeftCornerToAFilmFrame)
{
    const QString path = files.path("huge.jpg");
    Fixtures::writeBlockJpeg(path, 30000, 20000, checkerInCorner);
    const BITMAPINFO info{{sizeof(BITMAPINFOHEADER), 2000, 2000, 1, 24, BI_RGB, 0, 0, 0, 0, 0}, {}};
    HBITMAP canvas = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);

    resetPeakRss();
    const long before = peakRssKiB();
    QElapsedTimer timer;
    timer.start();
    OpenedBitmap photo(path);
    ASSERT_EQ(photo.status, Ok);
    EXPECT_EQ(photo.size(), QSize(30000, 20000));
    HBITMAP picture = nullptr;
    ASSERT_EQ(GdipCreateHBITMAPFromBitmap(photo.bitmap, &picture, 0), Ok);
    HDC canvasDc = CreateCompatibleDC(nullptr), photoDc = CreateCompatibleDC(nullptr);
    HBITMAP oldCanvas = SelectObject(canvasDc, canvas), oldPhoto = SelectObject(photoDc, picture);
    EXPECT_NE(BitBlt(canvasDc, 0, 0, 2000, 2000, photoDc, 0, 0, SRCCOPY), 0);
    SelectObject(canvasDc, oldCanvas);
    SelectObject(photoDc, oldPhoto);
    DeleteDC(canvasDc);
    DeleteDC(photoDc);
    DeleteObject(picture);
    const long growthKiB = peakRssKiB() - before;
    const qint64 elapsed = timer.elapsed();

    const QImage frame = GdiBitmapToImage(canvas);
    DeleteObject(canvas);
    for (int y = 10; y < 2000; y += 397)
        for (int x = 10; x < 2000; x += 397)
            EXPECT_TRUE(nearColor(frame.pixel(x, y), expectedChecker(x, y), 4)) << x << "," << y;
    // The whole picture would take 2.4 GB.
    if (kChecksResourceLimits) {
        EXPECT_LT(growthKiB, 200 * 1024);
        EXPECT_LT(elapsed, 10000);
    }
}

// PNG rows stream: a corner and a thumbnail never hold the whole picture (192 MB here), which
// is what lets pictures over the budget give both.
TEST_F(ImagingLargeImages, LargePngStreamsItsRows)
{
    const QString path = files.path("large.png");
    Fixtures::writeGreyPng(path, 8000, 6000, 4000, 1);
    OpenedBitmap photo(path);
    ASSERT_EQ(photo.status, Ok);
    resetPeakRss();
    const long before = peakRssKiB();
    const QImage thumbnail = thumbnailOf(photo.image(), 160, 120);
    ASSERT_EQ(thumbnail.size(), QSize(160, 120));
    EXPECT_EQ(qGray(thumbnail.pixel(40, 80)), 0);
    HBITMAP picture = nullptr;
    ASSERT_EQ(GdipCreateHBITMAPFromBitmap(photo.bitmap, &picture, 0), Ok);
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP old = SelectObject(dc, picture);
    const BITMAPINFO info{{sizeof(BITMAPINFOHEADER), 2000, 2000, 1, 24, BI_RGB, 0, 0, 0, 0, 0}, {}};
    HBITMAP canvas = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
    HDC canvasDc = CreateCompatibleDC(nullptr);
    HBITMAP oldCanvas = SelectObject(canvasDc, canvas);
    EXPECT_NE(BitBlt(canvasDc, 0, 0, 2000, 2000, dc, 0, 0, SRCCOPY), 0);
    SelectObject(canvasDc, oldCanvas);
    SelectObject(dc, old);
    DeleteDC(canvasDc);
    DeleteDC(dc);
    DeleteObject(picture);
    if (kChecksResourceLimits)
        EXPECT_LT(peakRssKiB() - before, 100 * 1024);
    const QImage frame = GdiBitmapToImage(canvas);
    DeleteObject(canvas);
    EXPECT_EQ(frame.pixel(1999, 0), qRgb(255, 255, 255)) << "the first row is white to column 3999";
    EXPECT_EQ(frame.pixel(1999, 1), qRgb(0, 0, 0));
}

// A picture the services already hold decoded (Qt decodes BMP whole; the thumbnail did) is not
// copied whole into the bitmap a film frame reads: that would double its 96 MB for a corner.
TEST_F(ImagingLargeImages, DecodedPictureGivesAFilmFrameItsCornerWithoutACopyOfTheWhole)
{
    constexpr int kWidth = 6000, kHeight = 4000, kRowBytes = (kWidth + 31) / 32 * 4;
    QByteArray bmp("BM");
    auto u32 = [&bmp](quint32 v) { for (int i = 0; i < 4; ++i) bmp.append(char(v >> (8 * i))); };
    auto u16 = [&bmp](quint16 v) { bmp.append(char(v)).append(char(v >> 8)); };
    u32(14 + 40 + 8 + kRowBytes * kHeight), u32(0), u32(14 + 40 + 8);
    u32(40), u32(kWidth), u32(kHeight), u16(1), u16(1), u32(0), u32(kRowBytes * kHeight), u32(0), u32(0), u32(2), u32(0);
    u32(0x00FF0000), u32(0x000000FF); // palette: 0 red, 1 blue
    QByteArray row(kRowBytes, '\xFF');
    std::fill_n(row.data(), 1000 / 8, '\0'); // columns 0..999 red
    for (int y = 0; y < kHeight; ++y)
        bmp.append(row);
    OpenedBitmap photo(files.write("mono.bmp", bmp));
    ASSERT_EQ(photo.status, Ok);
    ASSERT_EQ(thumbnailOf(photo.image(), 150, 100).size(), QSize(150, 100));
    const auto [frame, growthKiB] = copyOntoFilmCanvas(photo.bitmap);
    ASSERT_FALSE(frame.isNull());
    EXPECT_EQ(frame.pixel(999, 1999), qRgb(255, 0, 0));
    EXPECT_EQ(frame.pixel(1000, 0), qRgb(0, 0, 255));
    // The corner is 16 MB; a copy of the whole would add 96 MB.
    if (kChecksResourceLimits)
        EXPECT_LT(growthKiB, 80 * 1024);
}
