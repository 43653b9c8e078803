// SPDX-License-Identifier: GPL-2.0-or-later
#include "imaging/metafile/emffile.h"
#include "imaging/metafiledecoder.h"
#include "tests/metafile/emfwriter.h"
#include "tests/resourcelimits.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFont>
#include <QPainter>
#include <QtEndian>

#include <random>

namespace {

constexpr QRgb kGreen = qRgb(30, 180, 60);
constexpr QRgb kBlue = qRgb(10, 40, 200);

QSize emfSize(const QByteArray& data)
{
    QSize size;
    return MetafileDecoder::readSize(data, MetafileKind::Emf, &size) ? size : QSize(-1, -1);
}

QImage renderEmf(const QByteArray& data, QSize size)
{
    return MetafileDecoder::render(data, MetafileKind::Emf, size);
}

// 100 x 100 pixels at 96 dpi: a frame of 2646 hundredths of a millimetre.
EmfWriter hundredPixels() { return EmfWriter(QRect(0, 0, 100, 100), QRect(0, 0, 2646, 2646)); }

QByteArray greenSquare() { return hundredPixels().filledRectangle(QRect(25, 25, 50, 50), kGreen).bytes(); }

}  // namespace

TEST(EmfDecoder, SizeComesFromFrameAtNinetySixDpiElseFromBounds)
{
    EXPECT_EQ(emfSize(EmfWriter(QRect(0, 0, 10, 10), QRect(0, 0, 2540, 1270)).bytes()), QSize(96, 48));
    EXPECT_EQ(emfSize(EmfWriter(QRect(0, 0, 10, 10), QRect(-1270, 0, 2540, 5080)).bytes()), QSize(96, 192));
    EXPECT_EQ(emfSize(EmfWriter(QRect(0, 0, 300, 200), QRect()).bytes()), QSize(300, 200));
    EXPECT_EQ(emfSize(EmfWriter(QRect(), QRect()).bytes()), QSize(-1, -1));
}

TEST(EmfDecoder, RendersRectangleColourOnTransparentBackground)
{
    const QImage image = renderEmf(greenSquare(), QSize(100, 100));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(image.pixel(50, 50), kGreen);
    EXPECT_EQ(image.pixel(30, 70), kGreen);
    EXPECT_EQ(qAlpha(image.pixel(5, 5)), 0);
    EXPECT_EQ(qAlpha(image.pixel(90, 50)), 0);

    const QImage wide = renderEmf(greenSquare(), QSize(200, 100));
    ASSERT_EQ(wide.size(), QSize(200, 100));
    EXPECT_EQ(wide.pixel(100, 50), kGreen);
    EXPECT_EQ(qAlpha(wide.pixel(20, 50)), 0);
    EXPECT_EQ(qAlpha(wide.pixel(180, 50)), 0);
}

TEST(EmfDecoder, RefusesGarbageAndHeaderBombsQuickly)
{
    std::mt19937 random(3);
    QByteArray garbage(4096, '\0');
    for (char& c : garbage)
        c = char(random());
    const QByteArray bomb = EmfWriter(QRect(0, 0, 10, 10), QRect(0, 0, 2000000000, 2000000000)).bytes();
    QByteArray wrongSignature = greenSquare();
    wrongSignature[40] = 'X';
    QByteArray oversizedHeader = greenSquare();
    oversizedHeader[5] = char(0x7F);
    QElapsedTimer clock;
    clock.start();
    for (const QByteArray& data : {garbage, bomb, wrongSignature, oversizedHeader, QByteArray()}) {
        QSize size(7, 7);
        EXPECT_FALSE(MetafileDecoder::readSize(data, MetafileKind::Emf, &size));
        EXPECT_EQ(size, QSize(7, 7));
        EXPECT_TRUE(renderEmf(data, QSize(64, 64)).isNull());
    }
    // The bombs are refused in well under a millisecond (bench/header-bombs); this only catches a stall.
    if (kChecksResourceLimits)
        EXPECT_LT(clock.elapsed(), 1000);
}

TEST(EmfDecoder, SurvivesEveryTruncationAndCorruption)
{
    const QByteArray data = greenSquare();
    for (int length = 0; length < data.size(); ++length) {
        QSize size;
        if (MetafileDecoder::readSize(data.left(length), MetafileKind::Emf, &size)) {
            EXPECT_EQ(size, QSize(100, 100));
        }
        renderEmf(data.left(length), QSize(32, 32));
    }
    std::mt19937 random(5);
    for (int round = 0; round < 300; ++round) {
        QByteArray mutated = data;
        for (int flips = 0; flips < 4; ++flips)
            mutated[int(random() % mutated.size())] = char(random());
        renderEmf(mutated, QSize(32, 32));
    }
}

TEST(EmfDecoder, LeavesOutRecordsNamingObjectsOutsideTheHandleTable)
{
    const QByteArray data = hundredPixels()
                                .filledRectangle(QRect(0, 0, 50, 100), kGreen)
                                .record(EmfWriter::kCreateBrushIndirect, {4, 0, EmfWriter::colorRef(kBlue), 0})
                                .record(EmfWriter::kSelectObject, {4})
                                .record(EmfWriter::kRectangle, {50, 0, 100, 100})
                                .bytes();
    const QImage image = renderEmf(data, QSize(100, 100));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixel(25, 50), kGreen);
    EXPECT_EQ(image.pixel(75, 50), kGreen);
}

TEST(EmfDecoder, LeavesOutBitmapsFarLargerThanTheirData)
{
    // EMR_STRETCHDIBITS of a 60000 x 60000 run-length bitmap carried in four bytes.
    const QByteArray data = hundredPixels()
                                .filledRectangle(QRect(25, 25, 50, 50), kGreen)
                                .record(81, {0, 0, 99, 99, 0, 0, 0, 0, 60000, 60000, 80, 44, 124, 4, 0, 0x00CC0020,
                                             100, 100,
                                             40, 60000, 60000, 1 | 8 << 16, 1, 4, 0, 0, 1, 0, 0x00FF0000, 0x00010000})
                                .bytes();
    QElapsedTimer clock;
    clock.start();
    const QImage image = renderEmf(data, QSize(100, 100));
    if (kChecksResourceLimits)
        EXPECT_LT(clock.elapsed(), 1000);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixel(50, 50), kGreen);
    EXPECT_EQ(qAlpha(image.pixel(5, 5)), 0);
}

TEST(EmfDecoder, CutsOffFilesWithHugeRecordCounts)
{
    const QByteArray data = hundredPixels()
                                .filledRectangle(QRect(0, 0, 50, 100), kGreen)
                                .repeat(150000, EmfWriter::kSetBkMode, {1})
                                .filledRectangle(QRect(50, 0, 50, 100), kBlue, 2)
                                .bytes();
    QElapsedTimer clock;
    clock.start();
    const QImage image = renderEmf(data, QSize(100, 100));
    if (kChecksResourceLimits)
        EXPECT_LT(clock.elapsed(), 5000);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixel(25, 50), kGreen);
    EXPECT_EQ(qAlpha(image.pixel(75, 50)), 0);
}

// Also when the picture is drawn much larger than its own size, where a shape within reach of the
// canvas in the picture's units lies far beyond it in the canvas's pixels (a fuzzed file of 392
// bytes took 8 s to draw).
TEST(EmfDecoder, LeavesOutShapesReachingFarBeyondThePicture)
{
    const struct {
        std::uint32_t far; // each ellipse spans -far to far
        QSize canvas;
    } cases[] = {{3000000, QSize(100, 100)}, {30000, QSize(100, 10000)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.far);
        const QByteArray data = hundredPixels()
                                    .filledRectangle(QRect(25, 25, 50, 50), kGreen)
                                    .repeat(50, 42, {std::uint32_t(-c.far), std::uint32_t(-c.far), c.far, c.far})  // EMR_ELLIPSE
                                    .bytes();
        QElapsedTimer clock;
        clock.start();
        const QImage image = renderEmf(data, c.canvas);
        if (kChecksResourceLimits)
            EXPECT_LT(clock.elapsed(), 1000);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.pixel(c.canvas.width() / 2, c.canvas.height() / 2), kGreen);
    }
}

namespace {

constexpr std::uint32_t kExtCreateFontIndirectW = 82;
constexpr std::uint32_t kExtTextOutW = 84;
constexpr std::uint32_t kGlyphIndexOption = 0x10;  // ETO_GLYPH_INDEX

// "Photo" at (10, 50) in the font "Sans", as characters or, with kGlyphIndexOption, as glyph
// numbers of that font.
QByteArray textEmf(std::uint32_t options)
{
    const std::uint32_t height = std::uint32_t(-40);
    return hundredPixels()
        .record(kExtCreateFontIndirectW, {1, height, 0, 0, 0, 400, 0, 0, 0x00610053, 0x0073006E, 0, 0, 0, 0,
                                          0, 0, 0, 0, 0, 0, 0, 0, 0, 0})
        .record(EmfWriter::kSelectObject, {1})
        .record(kExtTextOutW, {0, 0, 99, 99, 1, 0x3F800000, 0x3F800000, 10, 50, 5, 76, options, 0, 0, 0, 0, 88,
                               0x00680050, 0x0074006F, 0x0000006F, 16, 16, 16, 16, 16})
        .bytes();
}

bool hasInk(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0)
                return true;
    return false;
}

}  // namespace

// Text given as glyph numbers names glyphs of a font this machine may not have, and the converter's
// lookup of them shuts down the font configuration Qt still uses (the fuzzer saw it abort). That
// text is left out; ordinary text, before and after it, and Qt's own text still draw.
TEST(EmfDecoder, LeavesOutTextGivenAsGlyphNumbers)
{
    for (int round = 0; round < 3; ++round) {
        EXPECT_TRUE(hasInk(renderEmf(textEmf(0), QSize(100, 100)))) << round;
        const QImage glyphs = renderEmf(textEmf(kGlyphIndexOption), QSize(100, 100));
        ASSERT_FALSE(glyphs.isNull()) << round;
        EXPECT_FALSE(hasInk(glyphs)) << round;
    }
    QImage canvas(200, 50, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.setFont(QFont("Sans", 20));
    painter.drawText(canvas.rect(), Qt::AlignCenter, "Photo");
    painter.end();
    EXPECT_TRUE(hasInk(canvas));
}

// The header's description is text the converter reads up to its terminator, wherever that is.
// The copy it plays has none, whatever the file says, and the picture still draws.
TEST(EmfDecoder, PlaysNoDescription)
{
    QByteArray data = greenSquare();
    const auto patch = [&data](int at, std::uint32_t value) { qToLittleEndian(value, data.data() + at); };
    patch(60, 40);                              // nDescription
    patch(64, std::uint32_t(data.size() - 6));  // offDescription: the last bytes of the file
    const std::optional<EmfFile> file = EmfFile::parse(data);
    ASSERT_TRUE(file);
    EXPECT_EQ(qFromLittleEndian<std::uint32_t>(file->playable().constData() + 60), 0u);
    EXPECT_EQ(qFromLittleEndian<std::uint32_t>(file->playable().constData() + 64), 0u);
    const QImage image = renderEmf(data, QSize(100, 100));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixel(50, 50), kGreen);
}
