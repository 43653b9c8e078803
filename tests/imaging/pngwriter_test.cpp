// SPDX-License-Identifier: GPL-2.0-or-later
// The PNG files written for the thumbnail cache: read back by libpng (through Qt) exactly, with
// their texts, whatever the picture's width and alpha.

#include "fixtures.h"
#include "imaging/pngwriter.h"

#include <QImage>

#include <gtest/gtest.h>

TEST(PngWriter, WritesWhatLibpngReadsBackExactly)
{
    QImage translucent = Fixtures::noisy(7, 5).convertToFormat(QImage::Format_ARGB32);
    for (int x = 0; x < 7; ++x)
        translucent.setPixel(x, 2, qRgba(x * 30, 200, 10, x * 40)); // from transparent to nearly opaque
    const struct {
        const char* name;
        QImage image;
    } cases[] = {{"one pixel", Fixtures::noisy(1, 1)},
                 {"an odd width", Fixtures::noisy(257, 3)},
                 {"a photo's size", Fixtures::noisy(512, 384)},
                 {"alpha", translucent}};
    const QList<QPair<QByteArray, QByteArray>> texts{{"Thumb::URI", "file:///tmp/caf%E9.jpg"}, {"Thumb::Size", ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray png = PngWriter::encode(c.image, texts);
        ASSERT_TRUE(png.startsWith("\x89PNG\r\n\x1A\n"));
        const QImage read = QImage::fromData(png, "PNG");
        ASSERT_FALSE(read.isNull()) << "libpng refused it";
        const QImage::Format format = c.image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
        EXPECT_EQ(read.convertToFormat(format), c.image.convertToFormat(format));
        EXPECT_EQ(read.text("Thumb::URI"), "file:///tmp/caf%E9.jpg");
        EXPECT_TRUE(read.textKeys().contains("Thumb::Size"));
    }
    // Keys PNG does not allow, and texts that would end early, give no file.
    for (const QByteArray& key : {QByteArray(), QByteArray(" lead"), QByteArray("two  spaces"), QByteArray(80, 'k')})
        EXPECT_TRUE(PngWriter::encode(Fixtures::noisy(4, 4), {{key, "x"}}).isEmpty()) << key.constData();
    EXPECT_TRUE(PngWriter::encode(Fixtures::noisy(4, 4), {{"Key", QByteArray("a\0b", 3)}}).isEmpty());
    EXPECT_TRUE(PngWriter::encode(QImage(), texts).isEmpty());
}
