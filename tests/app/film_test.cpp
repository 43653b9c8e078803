// SPDX-License-Identifier: GPL-2.0-or-later
// Making films: messages, progress, frames as FFmpeg decodes them, and films that fail.

#include "strevioapptest.h"

#include "app/cframetools.h"
#include "app/globals.h"
#include "framework/afxres.h"
#include "platform/avifile/avifile.h"
#include "platform/paths/localpath.h"

#include <QApplication>
#include <QChildEvent>
#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QStatusBar>

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool Near(QColor actual, QColor expected, int tolerance = 8)
{
    return std::abs(actual.red() - expected.red()) <= tolerance && std::abs(actual.green() - expected.green()) <= tolerance
        && std::abs(actual.blue() - expected.blue()) <= tolerance;
}
} // namespace

class FilmTest : public StrevioAppTest {
protected:
    QString FilmPath() const { return QDir(FilmFolder()).filePath(QStringLiteral("Film.avi")); }
};

TEST_F(FilmTest, NoSelectionAsksForOneAndTouchesNothing)
{
    ASSERT_TRUE(WriteFlatImage(PhotoPath("a.png"), 40, 30, Qt::red));
    CListView_Photos* list = OpenList(PhotoPath("a.png"));
    ASSERT_NE(list, nullptr);
    list->OnMakeFilm();
    EXPECT_EQ(m_messages, QStringList{"Please select one or more Photos first."});
    EXPECT_TRUE(QDir(FilmFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
}

TEST_F(FilmTest, ARateBelowOneIsRefusedAndAnEarlierFilmIsKept)
{
    ASSERT_TRUE(WriteFlatImage(PhotoPath("a.png"), 40, 30, Qt::red));
    QFile earlier(FilmPath());
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("an earlier film");
    earlier.close();
    CListView_Photos* list = OpenList(PhotoPath("a.png"));
    ASSERT_NE(list, nullptr);
    Select(list, {0});
    for (int rate : {0, -1}) {
        m_messages.clear();
        list->m_FilmFps = rate;
        list->OnMakeFilm();
        EXPECT_EQ(m_messages, QStringList{QStringLiteral("Can not create a Film file \"%1\".").arg(FilmPath())});
        EXPECT_EQ(ReadAll(FilmPath()), "an earlier film");
    }
}

TEST_F(FilmTest, AFolderThatDoesNotExistCannotTakeAFilm)
{
    ASSERT_TRUE(WriteFlatImage(PhotoPath("a.png"), 40, 30, Qt::red));
    CListView_Photos* list = OpenList(PhotoPath("a.png"));
    ASSERT_NE(list, nullptr);
    Select(list, {0});
    list->m_FilmName = QStringLiteral("missing/Film.avi");
    list->OnMakeFilm();
    const QString path = FilmFolder() + QStringLiteral("/missing/Film.avi");
    EXPECT_EQ(m_messages, QStringList{QStringLiteral("Can not create a Film file \"%1\".").arg(path)});
}

TEST_F(FilmTest, TheProgressBarNeverCoversTheFrameCounter)
{
    for (int i = 0; i < 2; ++i)
        ASSERT_TRUE(WriteFlatImage(PhotoPath(QStringLiteral("%1.png").arg(i)), 32, 24, Qt::gray));
    CListView_Photos* list = OpenList(PhotoPath("0.png"));
    ASSERT_NE(list, nullptr);
    Select(list, {0, 1});
    // Each frame text is painted at once; at that moment the bar must start after it.
    class Spy : public QObject {
    public:
        CMainFrame* frame = nullptr;
        QStringList seen;
        bool eventFilter(QObject*, QEvent* event) override
        {
            const QString text = frame->m_wndStatusBar.GetPaneText(0);
            QWidget* bar = g_pFrameTools->m_Progress.GetSafeWidget();
            if (event->type() == QEvent::Paint && bar && text.startsWith(" Frame")) {
                seen << text;
                EXPECT_GT(bar->geometry().left(), frame->m_wndStatusBar.GetTextRight(0)) << text.toStdString();
            }
            return false;
        }
    } spy;
    spy.frame = Frame();
    auto* pane = Frame()->m_wndStatusBar.GetSafeWidget()->findChild<QWidget*>(QStringLiteral("pane0"));
    ASSERT_NE(pane, nullptr);
    pane->installEventFilter(&spy);
    QApplication::processEvents(); // the shown window is exposed, so panes paint at once
    list->OnMakeFilm();
    spy.seen.removeDuplicates(); // the pane also repaints under the bar
    EXPECT_EQ(spy.seen, (QStringList{" Frame     1 /     2 ", " Frame     2 /     2 "}));
}

TEST_F(FilmTest, ThreeFramesWithProgressCounterAndTheFinalMessageLast)
{
    const QColor colours[] = {Qt::red, Qt::green, Qt::blue};
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(WriteFlatImage(PhotoPath(QStringLiteral("%1.png").arg(i)), 64, 48, colours[i]));
    CListView_Photos* list = OpenList(PhotoPath("0.png"));
    ASSERT_NE(list, nullptr);
    Select(list, {0, 1, 2});

    QList<int> positions;
    QStringList texts;
    QWidget* statusBar = Frame()->m_wndStatusBar.GetSafeWidget();
    bool finalSeenClean = false;
    m_onMessage = [&](const QString&) {
        finalSeenClean = !g_pFrameTools->m_Progress.HasWindow() && Frame()->m_wndStatusBar.GetPaneText(0).isEmpty();
    };
    // Frame texts and bar positions are read as the film runs, through a filter on the pane.
    class Spy : public QObject {
    public:
        QList<int>* positions;
        QStringList* texts;
        CMainFrame* frame;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::ChildPolished)
                if (auto* bar = qobject_cast<QProgressBar*>(static_cast<QChildEvent*>(event)->child())) {
                    auto record = [this](int v) {
                        *positions << v;
                        *texts << frame->m_wndStatusBar.GetPaneText(0);
                    };
                    record(bar->value());
                    QObject::connect(bar, &QProgressBar::valueChanged, this, record);
                }
            return false;
        }
    } spy;
    spy.positions = &positions;
    spy.texts = &texts;
    spy.frame = Frame();
    statusBar->installEventFilter(&spy);

    list->OnMakeFilm();
    EXPECT_EQ(positions, (QList<int>{0, 33, 66, 100}));
    // Each position after the first is set before that frame's text replaces the previous one.
    EXPECT_EQ(texts.mid(2), (QStringList{" Frame     1 /     3 ", " Frame     2 /     3 "}));
    ASSERT_EQ(m_messages.size(), 1);
    EXPECT_EQ(m_messages[0], QStringLiteral("The Movie file \"Film.avi\"was created in\n\n\"%1\".").arg(FilmPath()));
    EXPECT_TRUE(finalSeenClean);

    const FilmProbe probe = ProbeFilm(FilmPath());
    ASSERT_TRUE(probe.ok);
    EXPECT_EQ(probe.codecType, "video");
    EXPECT_EQ(probe.codecTag, "MSVC");
    EXPECT_EQ(probe.width, 2000);
    EXPECT_EQ(probe.height, 2000);
    EXPECT_EQ(probe.frameRate, "2/1");
    EXPECT_EQ(probe.packets, 3);
    EXPECT_TRUE(probe.allKeyFrames);
    for (int i = 0; i < 3; ++i) {
        const QImage frame = DecodeFilmFrame(FilmPath(), i);
        ASSERT_FALSE(frame.isNull());
        EXPECT_TRUE(Near(frame.pixelColor(10, 10), colours[i])) << i;
        EXPECT_TRUE(Near(frame.pixelColor(63, 47), colours[i])) << i;
        EXPECT_TRUE(Near(frame.pixelColor(64, 10), Qt::black)) << i;
        EXPECT_TRUE(Near(frame.pixelColor(10, 48), Qt::black)) << i;
        EXPECT_TRUE(Near(frame.pixelColor(1999, 1999), Qt::black)) << i;
    }
    EXPECT_EQ(QDir(FilmFolder()).entryList(QDir::Files | QDir::Hidden), QStringList{"Film.avi"});
}

TEST_F(FilmTest, FramesFollowListOrderWhateverTheOrderOfSelection)
{
    const QColor colours[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow, Qt::cyan, Qt::magenta};
    for (int i = 0; i < 6; ++i)
        ASSERT_TRUE(WriteFlatImage(PhotoPath(QStringLiteral("%1.png").arg(i)), 16, 16, colours[i]));
    CListView_Photos* list = OpenList(PhotoPath("0.png"));
    ASSERT_NE(list, nullptr);
    Select(list, {5, 0, 2});
    list->m_FilmFps = 7;
    list->OnMakeFilm();
    const FilmProbe probe = ProbeFilm(FilmPath());
    EXPECT_EQ(probe.packets, 3);
    EXPECT_EQ(probe.frameRate, "7/1");
    const int expected[] = {0, 2, 5};
    for (int f = 0; f < 3; ++f)
        EXPECT_TRUE(Near(DecodeFilmFrame(FilmPath(), f).pixelColor(4, 4), colours[expected[f]])) << f;
}

TEST_F(FilmTest, PhotosAreCopiedUnscaledCutAtTheCanvasAndTransparencyIsBlack)
{
    ASSERT_TRUE(WriteFlatImage(PhotoPath("1-big.png"), 2500, 1800, QColor(200, 100, 50)));
    ASSERT_TRUE(WriteFlatImage(PhotoPath("2-alpha.png"), 400, 400, QColor(40, 160, 240), true));
    QFile(PhotoPath("3-broken.png")).open(QIODevice::WriteOnly);
    CListView_Photos* list = OpenList(PhotoPath("1-big.png"));
    ASSERT_NE(list, nullptr);
    Select(list, {0, 1, 2});
    list->OnMakeFilm();
    ASSERT_EQ(ProbeFilm(FilmPath()).packets, 3);
    const QImage big = DecodeFilmFrame(FilmPath(), 0);
    EXPECT_TRUE(Near(big.pixelColor(1999, 0), QColor(200, 100, 50)));
    EXPECT_TRUE(Near(big.pixelColor(1999, 1799), QColor(200, 100, 50)));
    EXPECT_TRUE(Near(big.pixelColor(1000, 1800), Qt::black));
    EXPECT_TRUE(Near(big.pixelColor(0, 1999), Qt::black));
    const QImage alpha = DecodeFilmFrame(FilmPath(), 1);
    EXPECT_TRUE(Near(alpha.pixelColor(20, 20), QColor(40, 160, 240)));
    EXPECT_TRUE(Near(alpha.pixelColor(200, 200), Qt::black));
    const QImage broken = DecodeFilmFrame(FilmPath(), 2);
    EXPECT_TRUE(Near(broken.pixelColor(0, 0), Qt::black));
    EXPECT_TRUE(Near(broken.pixelColor(1000, 1000), Qt::black));
}

TEST_F(FilmTest, AFailedWriteKeepsTheEarlierFilmAndLeavesNoPartialFile)
{
    ASSERT_TRUE(WriteFlatImage(PhotoPath("a.png"), 64, 48, Qt::red));
    ASSERT_TRUE(WriteFlatImage(PhotoPath("b.png"), 64, 48, Qt::green));
    CListView_Photos* list = OpenList(PhotoPath("a.png"));
    ASSERT_NE(list, nullptr);
    Select(list, {0, 1});
    list->OnMakeFilm();
    const QByteArray earlier = ReadAll(FilmPath());
    ASSERT_FALSE(earlier.isEmpty());

    list->GetListCtrl().SetItemState(1, 0, LVIS_SELECTED);
    std::uint64_t written = 0;
    avifile::SetWriteFaultHookForTesting([&written](std::uint64_t, std::uint64_t bytes) {
        written += bytes;
        return written > 100000; // the disk fills during the first frame
    });
    m_messages.clear();
    list->OnMakeFilm();
    avifile::SetWriteFaultHookForTesting({});
    ASSERT_EQ(m_messages.size(), 1);
    EXPECT_TRUE(m_messages[0].startsWith(QStringLiteral("Can not write the Film file \"%1\".").arg(FilmPath())));
    EXPECT_EQ(ReadAll(FilmPath()), earlier);
    EXPECT_EQ(QDir(FilmFolder()).entryList(QDir::Files | QDir::Hidden), QStringList{"Film.avi"});
    EXPECT_FALSE(g_pFrameTools->m_Progress.HasWindow());

    // Once the cause is gone the next film succeeds and replaces the earlier one.
    m_messages.clear();
    list->OnMakeFilm();
    ASSERT_EQ(m_messages.size(), 1);
    EXPECT_TRUE(m_messages[0].startsWith("The Movie file"));
    EXPECT_EQ(ProbeFilm(FilmPath()).packets, 1);
}

TEST_F(FilmTest, AStartFolderWhoseNameIsNotUtf8TakesTheFilmUnderItsOwnBytes)
{
    ASSERT_TRUE(WriteFlatImage(PhotoPath("a.png"), 40, 30, Qt::red));
    const QByteArray folder = QFile::encodeName(FilmFolder()) + "/caf\xe9";
    ASSERT_EQ(::mkdir(folder.constData(), 0700), 0);
    char* previous = ::getcwd(nullptr, 0);
    ASSERT_EQ(::chdir(folder.constData()), 0);
    // The program starts in that folder.
    m_app.reset();
    m_app = std::make_unique<CStrevioApp>();
    ASSERT_TRUE(m_app->InitInstance());
    m_frame = dynamic_cast<CMainFrame*>(m_app->m_pMainWnd);
    ASSERT_EQ(::chdir(previous), 0);
    std::free(previous);
    EXPECT_EQ(LocalPath::encode(g_StartFolder), folder);

    CListView_Photos* list = OpenList(PhotoPath("a.png"));
    ASSERT_NE(list, nullptr);
    Select(list, {0});
    list->OnMakeFilm();
    const QByteArray film = folder + "/Film.avi";
    struct stat st {};
    EXPECT_EQ(::stat(film.constData(), &st), 0);
    ASSERT_EQ(m_messages.size(), 1);
    EXPECT_TRUE(m_messages[0].contains(QString::fromUtf16(u"caf\xfffd/Film.avi"))) << m_messages[0].toStdString();
    ::unlink(film.constData());
    ::rmdir(folder.constData());
}
