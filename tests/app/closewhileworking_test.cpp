// SPDX-License-Identifier: GPL-2.0-or-later
// Closing windows while a photo list works: whichever way the close is asked for, the work runs
// to its end and the close follows once it is done; a film's helper thread is joined before.

#include "strevioapptest.h"

#include "film/cfilmframepipeline.h"
#include "framework/afxres.h"
#include "framework/cmdichildwnd.h"
#include "framework/listviewwidget.h"
#include "res/resource.h"

#include <functional>
#include <utility>

#include <QApplication>
#include <QChildEvent>
#include <QDir>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QTest>
#include <QTimer>

namespace {

enum class CloseWay { CloseBox, CtrlW, FileClose, CloseAll, MainWindowClose, Exit };

const char* NameOf(CloseWay way)
{
    switch (way) {
    case CloseWay::CloseBox: return "the window's close box";
    case CloseWay::CtrlW: return "Ctrl+W";
    case CloseWay::FileClose: return "File > Close";
    case CloseWay::CloseAll: return "Window > Close all";
    case CloseWay::MainWindowClose: return "the main window's close box";
    case CloseWay::Exit: return "File > Exit";
    }
    return "";
}

std::string TestNameOf(CloseWay way)
{
    static const char* const names[] = {"CloseBox", "CtrlW", "FileClose", "CloseAll", "MainWindowClose", "Exit"};
    return names[int(way)];
}

// What a modal box or dialog does with events queued meanwhile: it runs them, deferred deletes
// included.
void RunQueuedEvents()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class CloseWhileWorkingTest : public StrevioAppTest, public ::testing::WithParamInterface<CloseWay> {
protected:
    CListView_Photos* OpenPhotos(int count)
    {
        for (int i = 0; i < count; ++i)
            if (!WriteFlatImage(PhotoPath(QStringLiteral("p%1.png").arg(i)), 48, 36, QColor(30 * i, 90, 160)))
                return nullptr;
        return OpenList(PhotoPath("p0.png"));
    }

    static QListView* Widget(CListView_Photos* list) { return list->GetListCtrl().GetWidget(); }

    void AskToClose(CListView_Photos* list, CloseWay way)
    {
        QMdiSubWindow* window = dynamic_cast<CMDIChildWnd*>(list->GetParentFrame())->GetSubWindow();
        switch (way) {
        case CloseWay::CloseBox: window->close(); break;
        case CloseWay::CtrlW: QTest::keyClick(window, Qt::Key_W, Qt::ControlModifier); break;
        case CloseWay::FileClose: Frame()->ExecuteCommand(ID_FILE_CLOSE); break;
        case CloseWay::CloseAll: Frame()->ExecuteCommand(ID_CLOSE_ALL); break;
        case CloseWay::MainWindowClose: Frame()->GetSafeWidget()->close(); break;
        case CloseWay::Exit: Frame()->ExecuteCommand(ID_APP_EXIT); break;
        }
        RunQueuedEvents();
    }

    void ExpectClosedOnceIdle(CloseWay way)
    {
        RunQueuedEvents();
        EXPECT_EQ(DocumentCount(1), 0) << NameOf(way);
        if (way == CloseWay::MainWindowClose || way == CloseWay::Exit)
            EXPECT_FALSE(Frame()->GetSafeWidget()->isVisible()) << NameOf(way);
    }
};

TEST_P(CloseWhileWorkingTest, AFilmRunsToItsEndAndItsWindowClosesAfterItsMessage)
{
    CListView_Photos* list = OpenPhotos(4);
    ASSERT_NE(list, nullptr);
    const CloseWay way = GetParam();
    // Ctrl+W is the window's own shortcut: it needs the window active.
    QApplication::setActiveWindow(Frame()->GetSafeWidget());
    Select(list, {0, 1, 2, 3});
    m_onMessage = [&](const QString&) { AskToClose(list, way); };
    QTest::keyClick(Widget(list), Qt::Key_F);
    ASSERT_EQ(m_messages.size(), 1);
    EXPECT_TRUE(m_messages[0].startsWith("The Movie file")) << m_messages[0].toStdString();
    EXPECT_EQ(ProbeFilm(QDir(FilmFolder()).filePath("Film.avi")).packets, 4);
    // Still open while its work ran; closed once the event loop comes round.
    ASSERT_EQ(DocumentCount(1), 1) << NameOf(way);
    ExpectClosedOnceIdle(way);
}

// Asked between two frames, while the helper thread composes the next one.
TEST_P(CloseWhileWorkingTest, AFilmClosedBetweenItsFramesRunsToItsEndWithItsHelperThreadJoined)
{
    CListView_Photos* list = OpenPhotos(4);
    ASSERT_NE(list, nullptr);
    const CloseWay way = GetParam();
    QApplication::setActiveWindow(Frame()->GetSafeWidget());
    Select(list, {0, 1, 2, 3});
    const QString helper = QString::fromLatin1(CFilmFramePipeline::kHelperThreadName);
    int helpersDuringTheFilm = 0;
    bool asked = false;
    class BarWatcher : public QObject {
    public:
        std::function<void()> onFirstFrame;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::ChildPolished)
                if (auto* bar = qobject_cast<QProgressBar*>(static_cast<QChildEvent*>(event)->child()))
                    QObject::connect(bar, &QProgressBar::valueChanged, this, [this](int value) {
                        if (value > 0 && onFirstFrame)
                            std::exchange(onFirstFrame, nullptr)();
                    });
            return false;
        }
    } bar;
    bar.onFirstFrame = [&] {
        asked = true;
        helpersDuringTheFilm = ThreadsNamed(helper);
        AskToClose(list, way);
    };
    Frame()->m_wndStatusBar.GetSafeWidget()->installEventFilter(&bar);
    QTest::keyClick(Widget(list), Qt::Key_F);
    ASSERT_TRUE(asked);
    ASSERT_EQ(m_messages.size(), 1);
    EXPECT_TRUE(m_messages[0].startsWith("The Movie file")) << m_messages[0].toStdString();
    EXPECT_EQ(ProbeFilm(QDir(FilmFolder()).filePath("Film.avi")).packets, 4);
    EXPECT_EQ(helpersDuringTheFilm, CFilmFramePipeline::kHelpers);
    EXPECT_EQ(ThreadsNamed(helper), 0);
    ASSERT_EQ(DocumentCount(1), 1) << NameOf(way);
    ExpectClosedOnceIdle(way);
}

TEST_P(CloseWhileWorkingTest, AThumbnailRebuildRunsToItsEndAndItsWindowClosesAfterIt)
{
    CListView_Photos* list = OpenPhotos(5);
    ASSERT_NE(list, nullptr);
    const CloseWay way = GetParam();
    QApplication::setActiveWindow(Frame()->GetSafeWidget());
    bool asked = false;
    QObject watcher;
    QObject::connect(Widget(list)->model(), &QAbstractItemModel::rowsInserted, &watcher, [&] {
        if (!asked) {
            asked = true;
            AskToClose(list, way);
        }
    });
    QTest::keyClick(Widget(list), Qt::Key_R);
    ASSERT_TRUE(asked);
    ASSERT_EQ(DocumentCount(1), 1) << NameOf(way);
    EXPECT_EQ(Widget(list)->model()->rowCount(), 5);
    ExpectClosedOnceIdle(way);
}

INSTANTIATE_TEST_SUITE_P(EveryWayOfClosing, CloseWhileWorkingTest,
                         ::testing::Values(CloseWay::CloseBox, CloseWay::CtrlW, CloseWay::FileClose, CloseWay::CloseAll,
                                           CloseWay::MainWindowClose, CloseWay::Exit),
                         [](const ::testing::TestParamInfo<CloseWay>& info) { return TestNameOf(info.param); });

TEST_F(StrevioAppTest, TheMainWindowClosedUnderTheFilmPropertiesDialogClosesAfterIt)
{
    ASSERT_TRUE(WriteFlatImage(PhotoPath("a.png"), 40, 30, Qt::red));
    CListView_Photos* list = OpenList(PhotoPath("a.png"));
    ASSERT_NE(list, nullptr);
    bool closedUnderTheDialog = false;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        Frame()->GetSafeWidget()->close(); // as a termination signal would
        RunQueuedEvents();
        closedUnderTheDialog = DocumentCount(1) == 0;
        dialog->close();
    });
    QTest::keyClick(list->GetListCtrl().GetWidget(), Qt::Key_P);
    EXPECT_FALSE(closedUnderTheDialog);
    EXPECT_EQ(list->m_FilmName, "Film.avi");
    QApplication::processEvents();
    EXPECT_EQ(DocumentCount(1), 0);
}
