// SPDX-License-Identifier: GPL-2.0-or-later
#include "imaging/metafile/wmffile.h"
#include "imaging/metafiledecoder.h"
#include "tests/metafile/wmfwriter.h"
#include "tests/resourcelimits.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <random>

namespace {

constexpr QRgb kRed = qRgb(220, 20, 30);
constexpr QRgb kBlue = qRgb(10, 40, 200);

QSize wmfSize(const QByteArray& data)
{
    QSize size;
    return MetafileDecoder::readSize(data, MetafileKind::Wmf, &size) ? size : QSize(-1, -1);
}

QImage renderWmf(const QByteArray& data, QSize size)
{
    return MetafileDecoder::render(data, MetafileKind::Wmf, size);
}

// A 100 x 100 pixel picture (placeable, 96 units per inch) with a red square in its middle.
QByteArray redSquare()
{
    return WmfWriter()
        .placeable(QRect(0, 0, 100, 100), 96)
        .record(WmfWriter::kSetWindowOrg, {0, 0})
        .record(WmfWriter::kSetWindowExt, {100, 100})
        .filledRectangle(QRect(25, 25, 50, 50), kRed)
        .bytes();
}

}  // namespace

TEST(WmfDecoder, SizeComesFromPlaceableHeaderAtNinetySixDpi)
{
    EXPECT_EQ(wmfSize(WmfWriter().placeable(QRect(0, 0, 1440, 720), 1440).bytes()), QSize(96, 48));
    EXPECT_EQ(wmfSize(WmfWriter().placeable(QRect(-100, 50, 300, 150), 96).bytes()), QSize(300, 150));
    EXPECT_EQ(wmfSize(WmfWriter().placeable(QRect(0, 0, 2540, 1270), 2540).bytes()), QSize(96, 48));
}

TEST(WmfDecoder, SizeWithoutPlaceableHeaderComesFromWindowExtentAndMapMode)
{
    EXPECT_EQ(wmfSize(WmfWriter().record(WmfWriter::kSetWindowExt, {100, 200}).bytes()), QSize(200, 100));
    const QByteArray twips =
        WmfWriter().record(WmfWriter::kSetMapMode, {6}).record(WmfWriter::kSetWindowExt, {720, 1440}).bytes();
    EXPECT_EQ(wmfSize(twips), QSize(96, 48));
    EXPECT_EQ(wmfSize(WmfWriter().filledRectangle(QRect(0, 0, 5, 5), kRed).bytes()), QSize(-1, -1));
}

TEST(WmfDecoder, RendersRectangleColourOnTransparentBackground)
{
    const QByteArray data = redSquare();
    ASSERT_EQ(wmfSize(data), QSize(100, 100));
    const QImage image = renderWmf(data, QSize(100, 100));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(image.size(), QSize(100, 100));
    EXPECT_EQ(image.pixel(50, 50), kRed);
    EXPECT_EQ(image.pixel(30, 70), kRed);
    EXPECT_EQ(qAlpha(image.pixel(5, 5)), 0);
    EXPECT_EQ(qAlpha(image.pixel(90, 50)), 0);
    EXPECT_EQ(qAlpha(image.pixel(50, 95)), 0);
}

TEST(WmfDecoder, RendersScaledToTheRequestedSize)
{
    const QImage image = renderWmf(redSquare(), QSize(200, 100));
    ASSERT_EQ(image.size(), QSize(200, 100));
    EXPECT_EQ(image.pixel(100, 50), kRed);
    EXPECT_EQ(image.pixel(60, 30), kRed);
    EXPECT_EQ(qAlpha(image.pixel(20, 50)), 0);
    EXPECT_EQ(qAlpha(image.pixel(180, 50)), 0);
}

TEST(WmfDecoder, DrawsDeviceIndependentBitmapsUpright)
{
    // META_STRETCHDIB of a 1 x 2 bitmap, 24 bits, rows stored bottom-up: blue, then green.
    const QByteArray data = WmfWriter()
                                .placeable(QRect(0, 0, 100, 100), 96)
                                .record(WmfWriter::kSetWindowExt, {100, 100})
                                .record(0x0F43, {0x0020, 0x00CC, 0, 2, 1, 0, 0, 100, 100, 0, 0,  //
                                                 40, 0, 1, 0, 2, 0, 1, 24, 0, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                                 0x00FF, 0, std::int16_t(0xFF00), 0})
                                .bytes();
    const QImage image = renderWmf(data, QSize(100, 100));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixel(50, 10), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(50, 90), qRgb(0, 0, 255));
}

TEST(WmfDecoder, RefusesGarbageAndHeaderBombsQuickly)
{
    std::mt19937 random(7);
    QByteArray garbage(4096, '\0');
    for (char& c : garbage)
        c = char(random());
    const QByteArray bomb = WmfWriter().placeable(QRect(0, 0, 30000, 30000), 1).bytes();
    QElapsedTimer clock;
    clock.start();
    for (const QByteArray& data : {garbage, bomb, QByteArray(), QByteArray("\xD7\xCD\xC6\x9A", 4)}) {
        QSize size(7, 7);
        EXPECT_FALSE(MetafileDecoder::readSize(data, MetafileKind::Wmf, &size));
        EXPECT_EQ(size, QSize(7, 7));
        EXPECT_TRUE(renderWmf(data, QSize(64, 64)).isNull());
    }
    EXPECT_TRUE(renderWmf(redSquare(), QSize(20000, 20000)).isNull());
    // The bombs are refused in well under a millisecond (bench/header-bombs); this only catches a stall.
    if (kChecksResourceLimits)
        EXPECT_LT(clock.elapsed(), 1000);
}

TEST(WmfDecoder, SurvivesEveryTruncationAndCorruption)
{
    const QByteArray data = redSquare();
    for (int length = 0; length < data.size(); ++length) {
        QSize size;
        const QByteArray cut = data.left(length);
        if (MetafileDecoder::readSize(cut, MetafileKind::Wmf, &size)) {
            EXPECT_EQ(size, QSize(100, 100));
        }
        renderWmf(cut, QSize(32, 32));
    }
    std::mt19937 random(11);
    for (int round = 0; round < 300; ++round) {
        QByteArray mutated = data;
        for (int flips = 0; flips < 4; ++flips)
            mutated[int(random() % mutated.size())] = char(random());
        renderWmf(mutated, QSize(32, 32));
    }
}

TEST(WmfDecoder, CutsOffFilesWithHugeRecordCounts)
{
    const QByteArray data = WmfWriter()
                                .placeable(QRect(0, 0, 100, 100), 96)
                                .record(WmfWriter::kSetWindowExt, {100, 100})
                                .filledRectangle(QRect(0, 0, 50, 100), kRed)
                                .repeat(150000, WmfWriter::kSetBkMode, {1})
                                .filledRectangle(QRect(50, 0, 50, 100), kBlue)
                                .bytes();
    QElapsedTimer clock;
    clock.start();
    const QImage image = renderWmf(data, QSize(100, 100));
    if (kChecksResourceLimits)
        EXPECT_LT(clock.elapsed(), 5000);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixel(25, 50), kRed);
    EXPECT_EQ(qAlpha(image.pixel(75, 50)), 0);
}

TEST(WmfDecoder, LeavesOutShapesReachingFarBeyondThePicture)
{
    // Under a one-unit window, each ellipse spans millions of pixels: slow to draw, invisible.
    const QByteArray data = WmfWriter()
                                .placeable(QRect(0, 0, 100, 100), 96)
                                .record(WmfWriter::kSetWindowExt, {100, 100})
                                .filledRectangle(QRect(25, 25, 50, 50), kRed)
                                .record(WmfWriter::kSetWindowExt, {1, 1})
                                .repeat(50, 0x0418, {30000, 30000, -30000, -30000})  // META_ELLIPSE
                                .bytes();
    QElapsedTimer clock;
    clock.start();
    const QImage image = renderWmf(data, QSize(100, 100));
    if (kChecksResourceLimits)
        EXPECT_LT(clock.elapsed(), 1000);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixel(50, 50), kRed);
}

// META_STRETCHDIB over the whole 100 x 100 picture, its bitmap header given as 16-bit words.
QByteArray withStretchedBitmap(std::initializer_list<std::int16_t> bitmap)
{
    WmfWriter writer;
    writer.placeable(QRect(0, 0, 100, 100), 96)
        .record(WmfWriter::kSetWindowExt, {100, 100})
        .filledRectangle(QRect(25, 25, 50, 50), kRed);
    QList<std::int16_t> words{0x0020, 0x00CC, 0, 10, 10, 0, 0, 100, 100, 0, 0};
    words.append(QList<std::int16_t>(bitmap));
    words.append(QList<std::int16_t>(64, 0)); // some pixel data
    QByteArray data = writer.bytes();
    QByteArray record;
    const quint32 size = quint32(3 + words.size());
    for (int shift : {0, 8, 16, 24})
        record.append(char(size >> shift));
    record.append(char(0x43)).append(char(0x0F));
    for (std::int16_t word : words)
        record.append(char(word & 0xFF)).append(char((word >> 8) & 0xFF));
    return data.insert(data.size() - 6, record); // before META_EOF
}

// libwmf's reader skips biSize - 40 bytes one by one: a header size of 0 never ends, and its
// sizes are 16-bit. Such bitmaps are left out; the rest of the picture stays.
TEST(WmfDecoder, LeavesOutBitmapsItsPlayerCannotReadInBoundedTime)
{
    const QByteArray endless = withStretchedBitmap({0, 0, 10, 0, 10, 0, 1, 24, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    const QByteArray fromNothing = withStretchedBitmap({40, 0, 30000, 0, 30000, 0, 1, 24, 0, 0, 0, 0, 0, 0, 0, 0,
                                                         0, 0, 0, 0});
    const QByteArray tooWide = withStretchedBitmap({40, 0, 0, 2, 1, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    const QByteArray fine = withStretchedBitmap({40, 0, 10, 0, 10, 0, 1, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    constexpr qsizetype recordBytes = 2 * (3 + 11 + 20 + 64);
    const std::optional<WmfFile> kept = WmfFile::parse(fine);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->playable().size(), fine.size());
    for (const QByteArray& data : {endless, fromNothing, tooWide}) {
        const std::optional<WmfFile> file = WmfFile::parse(data);
        ASSERT_TRUE(file);
        ASSERT_EQ(file->playable().size(), data.size() - recordBytes);
        const QImage image = renderWmf(data, QSize(100, 100));
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.pixel(50, 50), kRed);
    }
}

// A pattern brush whose bitmap is left out still takes its place in the object table: object 1
// stays the red brush, not the blue one created after it.
TEST(WmfDecoder, AnUnreadablePatternBrushKeepsItsObjectSlot)
{
    const QByteArray data =
        WmfWriter()
            .placeable(QRect(0, 0, 100, 100), 96)
            .record(WmfWriter::kSetWindowExt, {100, 100})
            .record(0x0142, {6, 0, 40, 0, 30000, 0, 30000, 0, 1, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})
            .record(0x02FC, {0, 20 << 8 | 220, 30, 0})  // META_CREATEBRUSHINDIRECT, kRed
            .record(0x02FC, {0, 40 << 8 | 10, 200, 0})  // kBlue
            .record(0x02FA, {5, 0, 0, 0, 0})            // META_CREATEPENINDIRECT, PS_NULL
            .record(0x012D, {1})                         // META_SELECTOBJECT
            .record(0x041B, {100, 100, 0, 0})            // META_RECTANGLE
            .bytes();
    const QImage image = renderWmf(data, QSize(100, 100));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixel(50, 50), kRed);
}
