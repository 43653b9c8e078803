// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/imaging/imagingtest.h"

#include <gtest/gtest.h>

#include <QFile>

namespace {

QImage filled(int size, Qt::GlobalColor color)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

} // namespace

class ImagingFormats : public testing::Test {
protected:
    Fixtures files;
};

TEST_F(ImagingFormats, RasterFormatsDecodeToTheirSizeAndColours)
{
    const QImage picture = Fixtures::quadrants(40, 30);
    for (const char* format : {"png", "jpg", "bmp", "tif"}) {
        OpenedBitmap bitmap(files.writeImage(QString("q.") + format, picture, format));
        ASSERT_EQ(bitmap.status, Ok) << format;
        EXPECT_EQ(bitmap.size(), QSize(40, 30)) << format;
        const QImage pixels = pixelsOf(bitmap.image());
        ASSERT_EQ(pixels.size(), QSize(40, 30)) << format;
        EXPECT_TRUE(nearColor(pixels.pixel(2, 2), qRgb(255, 0, 0))) << format;
        EXPECT_TRUE(nearColor(pixels.pixel(37, 2), qRgb(0, 255, 0))) << format;
        EXPECT_TRUE(nearColor(pixels.pixel(2, 27), qRgb(0, 0, 255))) << format;
        EXPECT_TRUE(nearColor(pixels.pixel(37, 27), qRgb(255, 255, 255))) << format;
    }
}

TEST_F(ImagingFormats, GifGivesItsFirstFrame)
{
    OpenedBitmap gif(files.write("anim.gif", Fixtures::twoFrameGif()));
    ASSERT_EQ(gif.status, Ok);
    EXPECT_EQ(gif.size(), QSize(2, 1));
    const QImage pixels = pixelsOf(gif.image());
    EXPECT_EQ(pixels.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(pixels.pixel(1, 0), qRgb(0, 0, 255));
}

TEST_F(ImagingFormats, IconsAndCursorsGiveTheirLargestImage)
{
    const QList<QImage> images = {filled(16, Qt::green), filled(48, Qt::red), filled(32, Qt::blue)};
    for (int type : {1, 2}) {
        OpenedBitmap icon(files.write(type == 1 ? "i.ico" : "c.cur", Fixtures::iconFile(images, type)));
        ASSERT_EQ(icon.status, Ok) << "type " << type;
        EXPECT_EQ(icon.size(), QSize(48, 48));
        EXPECT_EQ(pixelsOf(icon.image()).pixel(24, 24), qRgb(255, 0, 0));
    }
}

TEST_F(ImagingFormats, ContentDecidesTheFormatNotTheExtension)
{
    QImage picture(6, 4, QImage::Format_RGB32);
    picture.fill(Qt::green);
    const QString png = files.writeImage("real.png", picture, "png");
    QFile::copy(png, files.path("named.jpg"));
    OpenedBitmap bitmap(files.path("named.jpg"));
    ASSERT_EQ(bitmap.status, Ok);
    EXPECT_EQ(pixelsOf(bitmap.image()).pixel(5, 3), qRgb(0, 255, 0));
}

// Each orientation maps the stored quadrants (red, green / blue, white) to the upright corners.
TEST_F(ImagingFormats, ExifOrientationTurnsPhotosUpright)
{
    struct Case {
        int orientation;
        QRgb topLeft, topRight;
    };
    const QRgb red = qRgb(255, 0, 0), green = qRgb(0, 255, 0), blue = qRgb(0, 0, 255), white = qRgb(255, 255, 255);
    const QByteArray stored = Fixtures::jpegBytes(Fixtures::quadrants(64, 48));
    for (const Case& c : {Case{1, red, green}, Case{2, green, red}, Case{3, white, blue}, Case{4, blue, white},
                          Case{5, red, blue}, Case{6, blue, red}, Case{7, white, green}, Case{8, green, white}}) {
        OpenedBitmap photo(files.write(QString("o%1.jpg").arg(c.orientation),
                                       Fixtures::withExifOrientation(stored, c.orientation)));
        ASSERT_EQ(photo.status, Ok);
        const QSize upright = c.orientation >= 5 ? QSize(48, 64) : QSize(64, 48);
        EXPECT_EQ(photo.size(), upright) << "orientation " << c.orientation;
        const QImage full = pixelsOf(photo.image());
        EXPECT_TRUE(nearColor(full.pixel(3, 3), c.topLeft)) << "orientation " << c.orientation;
        EXPECT_TRUE(nearColor(full.pixel(upright.width() - 4, 3), c.topRight)) << "orientation " << c.orientation;
        const QImage thumbnail = thumbnailOf(photo.image(), 12, 16);
        EXPECT_TRUE(nearColor(thumbnail.pixel(1, 1), c.topLeft, 40)) << "thumbnail, orientation " << c.orientation;
        EXPECT_TRUE(nearColor(thumbnail.pixel(10, 1), c.topRight, 40)) << "thumbnail, orientation " << c.orientation;
    }
}

TEST_F(ImagingFormats, UnreadableFilesYieldNoImageAndZeroSize)
{
    const QString garbage = files.write("garbage.jpg", QByteArray(5000, '\x37'));
    const QString empty = files.write("empty.png", QByteArray());
    const char notEmf[] = "\x01\x00\x00\x00 not really a metafile";
    const QString emfNamed = files.write("broken.emf", QByteArray(notEmf, sizeof notEmf - 1));
    for (const QString& path : {garbage, empty, emfNamed, files.path("missing.bmp"), files.path("")}) {
        OpenedBitmap bitmap(path);
        EXPECT_NE(bitmap.status, Ok) << path.toStdString();
        EXPECT_EQ(bitmap.bitmap, nullptr);
        EXPECT_EQ(bitmap.size(), QSize(0, 0));
    }
    UINT width = 7;
    EXPECT_EQ(GdipGetImageWidth(nullptr, &width), InvalidParameter);
    EXPECT_EQ(width, 0u);
    HBITMAP handle = nullptr;
    EXPECT_EQ(GdipCreateHBITMAPFromBitmap(nullptr, &handle, 0), InvalidParameter);
    EXPECT_EQ(GdipGetImageThumbnail(nullptr, 10, 10, nullptr, nullptr, nullptr), InvalidParameter);
}

// A file cut short gives the rows decoded before the cut, in the thumbnail and the full pixels
// alike, as every viewer shows it; the rows after the cut are what the decoder fills in (JPEG:
// blocks without coefficients, mid-grey; PNG: black here, transparent with alpha).
TEST_F(ImagingFormats, FilesCutShortGiveTheRowsDecodedBeforeTheCut)
{
    const QImage picture = Fixtures::quadrants(300, 200);
    QFile png(files.writeImage("whole.png", picture, "png"));
    png.open(QIODevice::ReadOnly);
    const QByteArray pngBytes = png.readAll();
    const QByteArray baseline = Fixtures::jpegBytes(picture);
    const QByteArray progressive = Fixtures::jpegBytes(picture, true);
    const QRgb red = qRgb(255, 0, 0), green = qRgb(0, 255, 0), white = qRgb(255, 255, 255);
    const struct {
        const char* name;
        QByteArray bytes;
        bool lastRowsMissing; // a progressive file keeps its whole first scan: the colours of every block
    } cases[] = {{"cut.png", pngBytes.left(pngBytes.size() / 2), true},
                 {"cut.jpg", baseline.left(baseline.size() / 2), true},
                 {"cut-progressive.jpg", progressive.left(progressive.size() / 2), false}};
    for (const auto& c : cases) {
        OpenedBitmap bitmap(files.write(c.name, c.bytes));
        ASSERT_EQ(bitmap.status, Ok) << c.name;
        EXPECT_EQ(bitmap.size(), QSize(300, 200));
        const QImage pixels = pixelsOf(bitmap.image());
        ASSERT_EQ(pixels.size(), QSize(300, 200)) << c.name;
        EXPECT_TRUE(nearColor(pixels.pixel(10, 5), red)) << c.name;
        EXPECT_TRUE(nearColor(pixels.pixel(290, 5), green)) << c.name;
        EXPECT_EQ(!nearColor(pixels.pixel(290, 195), white), c.lastRowsMissing) << c.name;
        const QImage thumbnail = thumbnailOf(bitmap.image(), 30, 20);
        ASSERT_EQ(thumbnail.size(), QSize(30, 20)) << c.name;
        EXPECT_TRUE(nearColor(thumbnail.pixel(1, 0), red)) << c.name;
        EXPECT_TRUE(nearColor(thumbnail.pixel(28, 0), green)) << c.name;
        EXPECT_EQ(!nearColor(thumbnail.pixel(28, 19), white), c.lastRowsMissing) << c.name;
    }
}

// Cut right after the header: the size is known, but there are no pixels to show.
TEST_F(ImagingFormats, FilesCutAfterTheirHeaderHaveASizeButNoPixels)
{
    const QImage picture = Fixtures::quadrants(300, 200);
    QFile png(files.writeImage("whole.png", picture, "png"));
    png.open(QIODevice::ReadOnly);
    const QByteArray pngBytes = png.readAll();
    const QByteArray jpeg = Fixtures::jpegBytes(picture);
    const qsizetype scanHeader = jpeg.indexOf("\xFF\xDA");
    ASSERT_GT(scanHeader, 0);
    const qsizetype scanData = scanHeader + 2 + ((uchar(jpeg[scanHeader + 2]) << 8) | uchar(jpeg[scanHeader + 3]));
    const qsizetype imageData = pngBytes.indexOf("IDAT") + 4;
    for (const QString& path : {files.write("header.jpg", jpeg.left(scanData)), files.write("header.png", pngBytes.left(imageData))}) {
        OpenedBitmap bitmap(path);
        ASSERT_EQ(bitmap.status, Ok) << path.toStdString();
        EXPECT_EQ(bitmap.size(), QSize(300, 200));
        GpStatus status = Ok;
        EXPECT_TRUE(thumbnailOf(bitmap.image(), 30, 20, &status).isNull()) << path.toStdString();
        EXPECT_NE(status, Ok);
        EXPECT_TRUE(pixelsOf(bitmap.image()).isNull()) << path.toStdString();
    }
}

#ifdef STREVIO_HAVE_METAFILE
// A placeable WMF one inch by half an inch at 1440 units an inch, with no drawing: 96 x 48
// pixels at 96 dpi, all transparent, so black once copied onto a frame.
TEST_F(ImagingFormats, MetafilesAreRoutedByContent)
{
    QByteArray wmf;
    auto u16 = [&wmf](int value) { wmf.append(char(value & 0xFF)).append(char((value >> 8) & 0xFF)); };
    const int placeable[] = {0xCDD7, 0x9AC6, 0, 0, 0, 1440, 720, 1440, 0, 0};
    int checksum = 0;
    for (int word : placeable)
        u16(word), checksum ^= word;
    u16(checksum);
    for (int word : {1, 9, 0x300, 12, 0, 0, 0, 3, 0, 0}) // header: 12 words in all, one object, longest record 3
        u16(word);
    for (int word : {3, 0, 0}) // META_EOF
        u16(word);
    OpenedBitmap picture(files.write("drawing.dat", wmf));
    ASSERT_EQ(picture.status, Ok);
    EXPECT_EQ(picture.size(), QSize(96, 48));
    const QImage pixels = pixelsOf(picture.image());
    ASSERT_EQ(pixels.size(), QSize(96, 48));
    EXPECT_EQ(pixels.pixel(50, 20), qRgb(0, 0, 0));
}
#endif

// Cut and damaged copies of every format: whatever the outcome, it is reported consistently.
TEST_F(ImagingFormats, DamagedFilesNeverCrashAndReportConsistently)
{
    const QByteArray progressive = Fixtures::jpegBytes(Fixtures::quadrants(64, 48), true);
    QList<QByteArray> originals = {Fixtures::jpegBytes(Fixtures::quadrants(64, 48)), progressive, Fixtures::twoFrameGif(),
                                   Fixtures::iconFile({filled(16, Qt::red), filled(32, Qt::blue)})};
    for (const char* format : {"png", "bmp", "tif"}) {
        QImage translucent = Fixtures::quadrants(40, 30).convertToFormat(QImage::Format_ARGB32);
        translucent.setPixel(0, 0, qRgba(10, 20, 30, 40));
        QFile file(files.writeImage(QString("source.") + format, translucent, format));
        file.open(QIODevice::ReadOnly);
        originals.append(file.readAll());
    }
    quint32 seed = 12345;
    auto next = [&seed](int bound) { return int((seed = seed * 1103515245u + 12345u) >> 8) % bound; };
    int opened = 0;
    for (const QByteArray& original : originals) {
        for (int trial = 0; trial < 16; ++trial) {
            QByteArray damaged = original.left(trial % 2 ? next(int(original.size())) : int(original.size()));
            for (int flip = 0; flip < 3 && !damaged.isEmpty(); ++flip)
                damaged[next(int(damaged.size()))] = char(next(256));
            OpenedBitmap bitmap(files.write(QString("damaged%1").arg(trial), damaged));
            if (bitmap.status != Ok) {
                EXPECT_EQ(bitmap.size(), QSize(0, 0));
                continue;
            }
            ++opened;
            const QSize size = bitmap.size();
            GpStatus status = GenericError;
            const QImage thumbnail = thumbnailOf(bitmap.image(), 10, 7, &status);
            EXPECT_EQ(status == Ok, thumbnail.size() == QSize(10, 7));
            const QImage pixels = pixelsOf(bitmap.image());
            EXPECT_TRUE(pixels.isNull() || pixels.size() == size);
        }
    }
    EXPECT_GT(opened, 0) << "some damage leaves a readable picture";
}
