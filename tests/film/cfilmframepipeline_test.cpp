// SPDX-License-Identifier: GPL-2.0-or-later
// Film frames composed one photo ahead on a helper thread: the same frames, byte for byte and in
// order, as frames composed in turn on one thread, whatever the photos; and a helper thread that
// never outlives its pipeline.

#include "film/cdibimage.h"
#include "film/cfilmframepipeline.h"
#include "film/filmframe.h"
#include "framework/cinvalidargexception.h"
#include "tests/imaging/fixtures.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr qsizetype kCanvasBytes = qsizetype(kFilmCanvasSize) * kFilmCanvasSize * 3;

int HelperThreads()
{
    int count = 0;
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks.filePath(task + QStringLiteral("/comm")));
        if (comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == CFilmFramePipeline::kHelperThreadName)
            ++count;
    }
    return count;
}

QByteArray Fingerprint(HBITMAP canvas)
{
    DIBSECTION section{};
    if (GetObjectA(canvas, GDI_DIBSECTION_BYTES, &section) != GDI_DIBSECTION_BYTES)
        return {};
    const QByteArrayView pixels(static_cast<const char*>(section.dsBm.bmBits), section.dsBmih.biSizeImage);
    return QCryptographicHash::hash(pixels, QCryptographicHash::Sha1);
}

const QByteArray& BlackFrame()
{
    static const QByteArray black = QCryptographicHash::hash(QByteArray(kCanvasBytes, 0), QCryptographicHash::Sha1);
    return black;
}

QImage Noise(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator random(11);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, random.generate() | 0xFF000000u);
    return image;
}

} // namespace

class FilmFramePipelineTest : public ::testing::Test {
protected:
    // Every kind of photo a film meets: larger than the canvas both ways, EXIF-turned, with
    // transparency, not decodable, gone since it was listed, cut short (its first rows show), and
    // one twice in a row.
    QStringList Photos()
    {
        const QString big = m_files.writeImage(QStringLiteral("big.jpg"), Noise(2300, 2150), "jpg");
        QFile turned(m_files.writeImage(QStringLiteral("plain.jpg"), Noise(700, 500), "jpg"));
        turned.open(QIODevice::ReadOnly);
        QImage translucent = Noise(900, 600).convertToFormat(QImage::Format_ARGB32);
        for (int y = 100; y < 400; ++y)
            for (int x = 0; x < 900; ++x)
                translucent.setPixel(x, y, translucent.pixel(x, y) & (x % 3 ? 0x80FFFFFFu : 0x00FFFFFFu));
        QFile cut(m_files.writeImage(QStringLiteral("cut.jpg"), Noise(800, 900), "jpg"));
        cut.resize(cut.size() / 2);
        return {big,
                m_files.write(QStringLiteral("turned.jpg"), Fixtures::withExifOrientation(turned.readAll(), 6)),
                m_files.writeImage(QStringLiteral("translucent.png"), translucent, "png"),
                m_files.write(QStringLiteral("broken.png"), QByteArray("\x89PNG\r\n\x1A\n broken", 16)),
                m_files.path(QStringLiteral("gone.jpg")),
                cut.fileName(),
                m_files.writeImage(QStringLiteral("small.bmp"), Noise(120, 90), "bmp"),
                big,
                big};
    }

    // The frames of `photos` as the pipeline gives them, each asked for with the next one ahead.
    static QList<QByteArray> Frames(const QStringList& photos, bool composeAhead)
    {
        CFilmFramePipeline pipeline(composeAhead);
        if (!pipeline.Create())
            return {};
        QList<QByteArray> frames;
        for (qsizetype i = 0; i < photos.size(); ++i)
            frames << Fingerprint(pipeline.Compose(photos[i], photos.mid(i + 1)));
        return frames;
    }

    // The frames of `photos` composed one after the other on one canvas, as films were made;
    // each onto a canvas full of other pixels, which no frame may keep.
    static QList<QByteArray> FramesInTurn(const QStringList& photos)
    {
        CDibImage canvas;
        if (!canvas.Create(kFilmCanvasSize, kFilmCanvasSize, 24))
            return {};
        HDC dc = canvas.AcquireDC();
        QList<QByteArray> frames;
        for (const QString& photo : photos) {
            std::memset(canvas.m_Bits + (kFilmCanvasSize - 1) * canvas.m_Pitch, 0x5A, std::size_t(kCanvasBytes));
            ComposeFilmFrame(dc, photo);
            frames << Fingerprint(canvas.m_Bitmap);
        }
        canvas.ReleaseDC();
        return frames;
    }

    Fixtures m_files;
};

TEST_F(FilmFramePipelineTest, FramesComposedAheadAreTheFramesComposedInTurn)
{
    const QStringList photos = Photos();
    const QList<QByteArray> inTurn = FramesInTurn(photos);
    ASSERT_EQ(inTurn.size(), photos.size());
    EXPECT_EQ(Frames(photos, false), inTurn) << "on the calling thread only";
    EXPECT_EQ(Frames(photos, true), inTurn) << "composed ahead";
    // What the photos show, not only that both ways agree.
    for (int blackOne : {3, 4})
        EXPECT_EQ(inTurn[blackOne], BlackFrame()) << photos[blackOne].toStdString();
    for (int shown : {0, 1, 2, 5, 6})
        EXPECT_NE(inTurn[shown], BlackFrame()) << photos[shown].toStdString();
    EXPECT_EQ(inTurn[0], inTurn[7]);
}

TEST_F(FilmFramePipelineTest, APhotoAskedForInsteadOfTheOneAheadGetsItsOwnFrame)
{
    const QStringList photos = Photos();
    const QList<QByteArray> inTurn = FramesInTurn({photos[0], photos[2], photos[1]});
    CFilmFramePipeline pipeline;
    ASSERT_TRUE(pipeline.Create());
    EXPECT_EQ(Fingerprint(pipeline.Compose(photos[0], {photos[1], photos[6]})), inTurn[0]);
    EXPECT_EQ(Fingerprint(pipeline.Compose(photos[2], {photos[1]})), inTurn[1]);
    EXPECT_EQ(Fingerprint(pipeline.Compose(photos[1])), inTurn[2]);
}

// Photos are decoded straight onto the canvas: one cut short gives the rows before the cut, the
// rest black, as composed in turn (and as its thumbnail and its own window show it).
TEST_F(FilmFramePipelineTest, APhotoCutShortGivesTheRowsBeforeTheCut)
{
    QImage red(800, 600, QImage::Format_RGB32);
    red.fill(Qt::red);
    QFile cutJpeg(m_files.writeImage(QStringLiteral("red.jpg"), red, "jpg"));
    ASSERT_TRUE(cutJpeg.resize(cutJpeg.size() * 2 / 3));
    QFile cutPng(m_files.writeImage(QStringLiteral("red.png"), red, "png"));
    ASSERT_TRUE(cutPng.resize(cutPng.size() * 2 / 3));
    const QStringList photos{cutJpeg.fileName(), cutPng.fileName()};
    const QList<QByteArray> inTurn = FramesInTurn(photos);
    CFilmFramePipeline pipeline;
    ASSERT_TRUE(pipeline.Create());
    for (int i = 0; i < photos.size(); ++i) {
        const QByteArray frame = Fingerprint(pipeline.Compose(photos[i], photos.mid(i + 1)));
        EXPECT_EQ(frame, inTurn[i]) << photos[i].toStdString();
        EXPECT_NE(frame, BlackFrame()) << photos[i].toStdString();
    }
}

TEST_F(FilmFramePipelineTest, TheHelperThreadEndsWithItsPipelineEvenInTheMiddleOfAFrame)
{
    const QStringList photos = Photos();
    {
        CFilmFramePipeline pipeline;
        ASSERT_TRUE(pipeline.Create());
        EXPECT_EQ(HelperThreads(), CFilmFramePipeline::kHelpers);
        pipeline.Compose(photos[6], {photos[0], photos[0]}); // the big photo is composed ahead, never collected
    }
    EXPECT_EQ(HelperThreads(), 0);
    // An exception leaving the caller while the helper composes (as an improper argument does).
    EXPECT_THROW(
        {
            CFilmFramePipeline pipeline;
            ASSERT_TRUE(pipeline.Create());
            pipeline.Compose(photos[6], {photos[0], photos[1]});
            throw CInvalidArgException();
        },
        CInvalidArgException);
    EXPECT_EQ(HelperThreads(), 0);
    {
        CFilmFramePipeline inTurn(false);
        ASSERT_TRUE(inTurn.Create());
        EXPECT_EQ(HelperThreads(), 0) << "composing in turn needs no thread";
    }
}

// A photo whose header reads but whose pixels do not: its frame is black all over, though the
// canvas held the previous frame's pixels and an opaque PNG is decoded straight onto it.
TEST_F(FilmFramePipelineTest, APhotoWhosePixelsFailToDecodeGivesABlackFrame)
{
    const auto damagedPixels = [this](const QString& name, const QImage& image) {
        QFile file(m_files.writeImage(name, image, "png"));
        if (!file.open(QIODevice::ReadWrite))
            return QString();
        QByteArray bytes = file.readAll();
        const qsizetype data = bytes.indexOf("IDAT") + 4;
        for (qsizetype at = data; at < data + 16 && at < bytes.size(); ++at)
            bytes[at] = char(0xA5); // no zlib stream starts so
        file.seek(0);
        file.write(bytes);
        return file.fileName();
    };
    QImage translucent = Noise(300, 200).convertToFormat(QImage::Format_ARGB32);
    translucent.setPixel(0, 0, 0x40FFFFFFu);
    const QStringList photos{damagedPixels(QStringLiteral("opaque.png"), Noise(640, 480)),
                             damagedPixels(QStringLiteral("translucent.png"), translucent),
                             m_files.write(QStringLiteral("headless.png"), QByteArray("\x89PNG\r\n\x1A\n", 8))};
    const QList<QByteArray> frames = FramesInTurn(photos);
    ASSERT_EQ(frames.size(), photos.size());
    for (qsizetype i = 0; i < photos.size(); ++i)
        EXPECT_EQ(frames[i], BlackFrame()) << photos[i].toStdString();
}
