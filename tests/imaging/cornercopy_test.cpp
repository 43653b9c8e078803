// SPDX-License-Identifier: GPL-2.0-or-later
// A film frame copies a photo's top-left corner onto its canvas. The copy is decoded straight into
// the canvas rows; it must give, byte for byte, what a copy from the photo's own filled pixels
// gives, for every kind of photo and canvas, and never commit memory of the photo's size.

#include "tests/imaging/imagingtest.h"
#include "tests/resourcelimits.h"

#include <gtest/gtest.h>

#include <QImageWriter>
#include <QRandomGenerator>

#include <cstring>

namespace {

constexpr int kCorner = 600;

// A memory context holding a DIB section of kCorner x kCorner pixels, first filled with 0x5A so
// that pixels a copy leaves alone are told apart from black ones.
struct Canvas {
    Canvas(int bits, bool bottomUp)
    {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), kCorner, bottomUp ? kCorner : -kCorner, 1, WORD(bits), BI_RGB, 0, 0, 0, 0, 0};
        void* memory = nullptr;
        bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
        bytes = std::int64_t(kCorner) * kCorner * bits / 8;
        pixels = static_cast<BYTE*>(memory);
        std::memset(pixels, 0x5A, std::size_t(bytes));
        dc = CreateCompatibleDC(nullptr);
        old = SelectObject(dc, bitmap);
    }
    ~Canvas()
    {
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    QByteArray contents() const { return QByteArray(reinterpret_cast<const char*>(pixels), qsizetype(bytes)); }

    HBITMAP bitmap = nullptr;
    BYTE* pixels = nullptr;
    std::int64_t bytes = 0;
    HDC dc = nullptr;
    HBITMAP old = nullptr;
};

struct CornerCopy {
    bool copied = false;
    QByteArray canvas;
};

// The canvas after a block copy of the photo's corner; `throughPhotoPixels` takes the way through
// the photo's own pixels (filled by its deferred source), which every copy took before.
CornerCopy CopyCorner(const QString& path, int bits, bool bottomUp, ARGB background, bool throughPhotoPixels)
{
    OpenedBitmap photo(path);
    HBITMAP picture = nullptr;
    if (photo.status != Ok || GdipCreateHBITMAPFromBitmap(photo.bitmap, &picture, background) != Ok)
        return {};
    if (throughPhotoPixels)
        GdiSetDeferredCopy(picture, {});
    Canvas canvas(bits, bottomUp);
    HDC photoDc = CreateCompatibleDC(nullptr);
    HBITMAP oldPhoto = SelectObject(photoDc, picture);
    CornerCopy result;
    result.copied = BitBlt(canvas.dc, 0, 0, kCorner, kCorner, photoDc, 0, 0, SRCCOPY) != 0;
    SelectObject(photoDc, oldPhoto);
    DeleteDC(photoDc);
    DeleteObject(picture);
    result.canvas = canvas.contents();
    return result;
}

// Detail in every pixel, so that any difference in decoding shows.
QImage Noise(int width, int height, bool alpha)
{
    QImage image(width, height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const quint32 value = random.generate();
            const int a = alpha ? int(value >> 24) % 3 * 127 : 255;
            image.setPixel(x, y, qRgba(int(value & 0xFF), int(value >> 8 & 0xFF), (x + y) & 0xFF, a));
        }
    return image;
}

QString WriteJpeg(const Fixtures& files, const QString& name, const QImage& image, bool progressive)
{
    QImageWriter writer(files.path(name), "jpeg");
    writer.setQuality(90);
    writer.setProgressiveScanWrite(progressive);
    return writer.write(image) ? files.path(name) : QString();
}

} // namespace

class ImagingCornerCopy : public testing::Test {
protected:
    Fixtures files;
};

TEST_F(ImagingCornerCopy, DecodingStraightIntoTheCanvasGivesTheBytesOfACopyThroughThePhoto)
{
    const QImage wide = Noise(900, 700, false);
    QFile plain(WriteJpeg(files, "plain.jpg", Noise(700, 650, false), false));
    ASSERT_TRUE(plain.open(QIODevice::ReadOnly));
    QFile cut(WriteJpeg(files, "cut.jpg", wide, false));
    ASSERT_TRUE(cut.resize(cut.size() / 2));
    QFile cutPng(files.writeImage("cut.png", wide, "png"));
    ASSERT_TRUE(cutPng.resize(cutPng.size() / 2));
    const QString photos[] = {
        WriteJpeg(files, "wider-and-taller.jpg", wide, false),
        WriteJpeg(files, "narrow.jpg", Noise(300, 800, false), false),
        WriteJpeg(files, "progressive.jpg", wide, true),
        WriteJpeg(files, "grey.jpg", wide.convertToFormat(QImage::Format_Grayscale8), false),
        files.write("turned.jpg", Fixtures::withExifOrientation(plain.readAll(), 6)),
        files.writeImage("translucent.png", Noise(650, 500, true), "png"),
        files.writeImage("opaque-wide.png", wide, "png"),
        files.writeImage("opaque-narrow.png", Noise(300, 800, false), "png"),
        files.writeImage("grey.png", wide.convertToFormat(QImage::Format_Grayscale8), "png"),
        files.writeImage("palette.png", wide.convertToFormat(QImage::Format_Indexed8), "png"),
        files.writeImage("small.bmp", Noise(120, 90, false), "bmp"),
        cut.fileName(),
        cutPng.fileName(),
    };
    for (const QString& photo : photos) {
        ASSERT_FALSE(photo.isEmpty());
        for (const int bits : {24, 32})
            for (const ARGB background : {ARGB(0), ARGB(0xFF3060A0)}) {
                const bool bottomUp = bits == 24;
                const CornerCopy before = CopyCorner(photo, bits, bottomUp, background, true);
                const CornerCopy now = CopyCorner(photo, bits, bottomUp, background, false);
                const std::string what = QFileInfo(photo).fileName().toStdString() + ", " + std::to_string(bits) +
                                         " bits, background " + std::to_string(background);
                EXPECT_EQ(now.copied, before.copied) << what;
                if (before.copied)
                    EXPECT_TRUE(now.canvas == before.canvas) << what;
            }
    }
    EXPECT_TRUE(CopyCorner(cut.fileName(), 24, true, 0, false).copied) << "a JPEG cut in half gives its first rows";
    EXPECT_TRUE(CopyCorner(photos[0], 24, true, 0, false).copied);
}

// A camera-size photo gives its corner without a bitmap or picture of its own: before, its
// section and the decoded corner took 16 MB each.
TEST_F(ImagingCornerCopy, ACameraSizeJpegGivesItsCornerWithoutPhotoSizedMemory)
{
    QImage photo(4000, 3000, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x)
            photo.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, (x / 16) & 0xFF));
    const QString path = WriteJpeg(files, "camera.jpg", photo, false);
    OpenedBitmap opened(path);
    ASSERT_EQ(opened.status, Ok);
    const auto [frame, growthKiB] = copyOntoFilmCanvas(opened.bitmap);
    ASSERT_FALSE(frame.isNull());
    EXPECT_TRUE(nearColor(frame.pixel(1999, 1999), photo.pixel(1999, 1999), 16));
    EXPECT_TRUE(nearColor(frame.pixel(700, 30), photo.pixel(700, 30), 16));
    // The file is mapped: the pages read of it count too, beside at most 8 MB of the program's.
    if (kChecksResourceLimits)
        EXPECT_LT(growthKiB, 8 * 1024 + QFileInfo(path).size() / 1024);
}
