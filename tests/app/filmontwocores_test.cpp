// SPDX-License-Identifier: GPL-2.0-or-later
// Films made on two cores: the next photo's frame is composed on a helper thread while the
// current one is stored. The film stays, byte for byte, the one a single thread makes frame after
// frame, and the helper never outlives the film, however the film ends.

#include "strevioapptest.h"

#include "app/cframetools.h"
#include "app/globals.h"
#include "film/cdibimage.h"
#include "film/cfilmframepipeline.h"
#include "film/cfilmwriter.h"
#include "film/filmframe.h"
#include "framework/listviewwidget.h"
#include "tests/imaging/fixtures.h"

#include <QApplication>
#include <QBuffer>
#include <QChildEvent>
#include <QDir>
#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QProgressBar>
#include <QTest>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool Near(QColor actual, QColor expected, int tolerance = 24)
{
    return std::abs(actual.red() - expected.red()) <= tolerance && std::abs(actual.green() - expected.green()) <= tolerance
        && std::abs(actual.blue() - expected.blue()) <= tolerance;
}

// Larger than the canvas both ways, with detail in every block.
QImage Landscape(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, width, height);
    gradient.setColorAt(0, QColor(250, 200, 40));
    gradient.setColorAt(1, QColor(20, 60, 220));
    painter.fillRect(image.rect(), gradient);
    for (int x = 0; x < width; x += 37)
        painter.fillRect(x, 0, 5, height, QColor(x % 256, 255 - x % 256, 128));
    return image;
}

QByteArray JpegBytes(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 90);
    return bytes;
}

} // namespace

class FilmOnTwoCoresTest : public StrevioAppTest {
protected:
    QString FilmPath() const { return QDir(FilmFolder()).filePath(QStringLiteral("Film.avi")); }

    // The film of `photos` made as Make Film made it on one thread: one canvas, each frame
    // composed, then stored, then the next.
    QByteArray FilmOnOneThread(const QStringList& photos, int framesPerSecond) const
    {
        const QString path = QDir(FilmFolder()).filePath(QStringLiteral("one-thread.avi"));
        CFilmWriter writer;
        CDibImage canvas;
        if (!writer.Open(path, framesPerSecond) || !canvas.Create(kFilmCanvasSize, kFilmCanvasSize, 24))
            return {};
        HDC dc = canvas.AcquireDC();
        for (const QString& photo : photos) {
            ComposeFilmFrame(dc, photo);
            writer.AddFrame(canvas.m_Bitmap);
        }
        canvas.ReleaseDC();
        const QByteArray film = writer.Close() == AVIERR_OK ? ReadAll(path) : QByteArray();
        QFile::remove(path);
        return film;
    }
};

TEST_F(FilmOnTwoCoresTest, TheFilmIsByteForByteTheOneMadeFrameAfterFrameOnOneThread)
{
    ASSERT_TRUE(Landscape(2300, 2150).save(PhotoPath("1-large.jpg"), "JPEG", 90));
    QFile turned(PhotoPath("2-turned.jpg"));
    ASSERT_TRUE(turned.open(QIODevice::WriteOnly));
    turned.write(Fixtures::withExifOrientation(JpegBytes(Fixtures::quadrants(640, 480)), 6));
    turned.close();
    ASSERT_TRUE(WriteFlatImage(PhotoPath("3-transparent.png"), 400, 300, QColor(40, 160, 240), true));
    QFile(PhotoPath("4-broken.png")).open(QIODevice::WriteOnly);
    ASSERT_TRUE(WriteFlatImage(PhotoPath("5-removed.png"), 64, 48, Qt::green));
    ASSERT_TRUE(WriteFlatImage(PhotoPath("6-small.png"), 64, 48, Qt::red));
    CListView_Photos* list = OpenList(PhotoPath("6-small.png"));
    ASSERT_NE(list, nullptr);
    Select(list, {0, 1, 2, 3, 4, 5});
    ASSERT_TRUE(QFile::remove(PhotoPath("5-removed.png")));
    list->m_FilmFps = 3;

    list->OnMakeFilm();
    ASSERT_EQ(m_messages.size(), 1);
    EXPECT_TRUE(m_messages[0].startsWith("The Movie file")) << m_messages[0].toStdString();
    const QByteArray film = ReadAll(FilmPath());
    const QByteArray oneThread = FilmOnOneThread(list->m_Photos.items(), 3);
    ASSERT_FALSE(oneThread.isEmpty());
    EXPECT_EQ(film.size(), oneThread.size());
    EXPECT_TRUE(film == oneThread);

    // And each frame shows its photo, as FFmpeg decodes it.
    ASSERT_EQ(ProbeFilm(FilmPath()).packets, 6);
    const QImage large = DecodeFilmFrame(FilmPath(), 0);
    EXPECT_TRUE(Near(large.pixelColor(1999, 1999), Landscape(2300, 2150).pixelColor(1999, 1999), 32));
    const QImage upright = DecodeFilmFrame(FilmPath(), 1); // turned: 480 wide, 640 high
    EXPECT_TRUE(Near(upright.pixelColor(10, 10), Qt::blue));
    EXPECT_TRUE(Near(upright.pixelColor(470, 10), Qt::red));
    EXPECT_TRUE(Near(upright.pixelColor(470, 630), Qt::green));
    EXPECT_TRUE(Near(upright.pixelColor(490, 10), Qt::black));
    const QImage transparent = DecodeFilmFrame(FilmPath(), 2);
    EXPECT_TRUE(Near(transparent.pixelColor(10, 10), QColor(40, 160, 240)));
    EXPECT_TRUE(Near(transparent.pixelColor(200, 150), Qt::black));
    for (int blackFrame : {3, 4})
        EXPECT_TRUE(Near(DecodeFilmFrame(FilmPath(), blackFrame).pixelColor(20, 20), Qt::black)) << blackFrame;
    EXPECT_TRUE(Near(DecodeFilmFrame(FilmPath(), 5).pixelColor(20, 20), Qt::red));
}

// A list item without its photo raises the improper-argument error in the middle of the film:
// the film is dropped, the earlier one kept, and the helper thread is gone with it.
TEST_F(FilmOnTwoCoresTest, AnImproperArgumentInTheMiddleOfAFilmDropsItAndEndsItsHelperThread)
{
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(WriteFlatImage(PhotoPath(QStringLiteral("p%1.png").arg(i)), 64, 48, QColor(60 * i, 90, 160)));
    QFile earlier(FilmPath());
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("an earlier film");
    earlier.close();
    CListView_Photos* list = OpenList(PhotoPath("p0.png"));
    ASSERT_NE(list, nullptr);
    Select(list, {0, 1, 2, 3});
    list->m_Photos.RemoveAt(3); // the fourth item has no photo left
    const QString helper = QString::fromLatin1(CFilmFramePipeline::kHelperThreadName);
    // The frames before it are shown as they are stored, while the helper thread runs.
    QList<int> positions;
    class BarSpy : public QObject {
    public:
        BarSpy(QList<int>* seen, QString helper) : m_seen(seen), m_helper(std::move(helper)) {}
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::ChildPolished)
                if (auto* bar = qobject_cast<QProgressBar*>(static_cast<QChildEvent*>(event)->child()))
                    QObject::connect(bar, &QProgressBar::valueChanged, this,
                                     [this](int value) { *m_seen << value << ThreadsNamed(m_helper); });
            return false;
        }

    private:
        QList<int>* m_seen;
        QString m_helper;
    } barSpy(&positions, helper);
    Frame()->m_wndStatusBar.GetSafeWidget()->installEventFilter(&barSpy);

    QTest::keyClick(list->GetListCtrl().GetWidget(), Qt::Key_F);
    const int helpers = CFilmFramePipeline::kHelpers;
    EXPECT_EQ(positions, (QList<int>{25, helpers, 50, helpers, 75, helpers})) << "each position, then the helpers";
    EXPECT_EQ(m_messages, QStringList{"Encountered an improper argument."});
    EXPECT_EQ(ReadAll(FilmPath()), "an earlier film");
    EXPECT_EQ(QDir(FilmFolder()).entryList(QDir::Files | QDir::Hidden), QStringList{"Film.avi"});
    EXPECT_FALSE(g_pFrameTools->m_Progress.HasWindow());
    EXPECT_EQ(ThreadsNamed(helper), 0);
}
