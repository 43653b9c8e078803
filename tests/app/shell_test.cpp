// SPDX-License-Identifier: GPL-2.0-or-later
// Start-up, opening files, menus that follow the active window, Close all, the progress display.

#include "strevioapptest.h"

#include "app/cframetools.h"
#include "app/chtmlview_.h"
#include "app/globals.h"
#include "browser/cstrevioview.h"
#include "framework/afxres.h"
#include "framework/cdoctemplate.h"
#include "framework/cdocument.h"
#include "framework/cmdichildwnd.h"
#include "framework/crecentfilelist.h"
#include "framework/listviewwidget.h"
#include "res/resource.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTest>

#include <sys/stat.h>

namespace {
QStringList MenuTitles(CMainFrame* frame)
{
    QStringList titles;
    for (QMenu* menu : frame->GetCurrentMenus())
        titles << menu->title();
    return titles;
}

QStringList ItemTexts(QMenu* menu)
{
    QStringList texts;
    for (QAction* action : menu->actions())
        if (action->isVisible())
            texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}
} // namespace

using ShellTest = StrevioAppTest;

TEST_F(ShellTest, StartupRegistersFourDocumentTypesAndShowsTheFrame)
{
    const auto& templates = m_app->GetDocTemplates();
    ASSERT_EQ(templates.size(), 4u);
    EXPECT_EQ(templates[0]->GetResourceId(), IDR_PHOTOVIEW);
    EXPECT_EQ(templates[1]->GetResourceId(), IDR_PHOTOLIST);
    EXPECT_EQ(templates[2]->GetResourceId(), IDR_FILMLIST);
    EXPECT_EQ(templates[3]->GetResourceId(), IDR_PHOTOVIEW);
    EXPECT_EQ(static_cast<CDocTemplate*>(m_app->m_pPhotoViewTemplate), templates[0]);
    EXPECT_EQ(static_cast<CDocTemplate*>(m_app->m_pPhotoListTemplate), templates[1]);

    EXPECT_TRUE(Frame()->GetSafeWidget()->isVisible());
    EXPECT_EQ(g_pFrameTools, &Frame()->m_FrameTools);
    EXPECT_EQ(g_pFilmWriter, &Frame()->m_FilmWriter);
    EXPECT_EQ(Frame()->m_wndToolBar.GetButtonCount(), 9);
    EXPECT_EQ(Frame()->m_wndToolBar.GetItemID(0), ID_FILE_OPEN);
    EXPECT_EQ(Frame()->m_wndToolBar.GetItemID(2), ID_SEPARATOR);
    EXPECT_EQ(Frame()->m_wndToolBar.GetItemID(8), ID_MAKE_FILM);
    ASSERT_EQ(Frame()->m_wndStatusBar.GetCount(), 4);
    EXPECT_EQ(Frame()->m_wndStatusBar.GetItemID(1), ID_INDICATOR_CAPS);
    EXPECT_EQ(Frame()->m_wndStatusBar.GetItemID(3), ID_INDICATOR_SCRL);

    // The start page is the one window; its menu is that of the single-photo type.
    EXPECT_EQ(DocumentCount(3), 1);
    EXPECT_EQ(Frame()->GetCurrentMenuId(), IDR_PHOTOVIEW);
    EXPECT_EQ(MenuTitles(Frame()), (QStringList{"&File", "&View", "&Window", "&Help"}));
}

TEST_F(ShellTest, MenusFollowTheActiveWindowAndUnhandledCommandsAreDisabled)
{
    // Start page active: the photo-list commands have no handler.
    EXPECT_FALSE(Frame()->GetCommandAction(ID_MAKE_FILM)->isEnabled());
    EXPECT_FALSE(Frame()->GetCommandAction(ID_SHOW_PROPERTIES)->isEnabled());
    EXPECT_FALSE(Frame()->GetCommandAction(ID_FILE_SAVE)->isEnabled());
    EXPECT_TRUE(Frame()->GetCommandAction(ID_FILE_OPEN)->isEnabled());

    ASSERT_TRUE(WriteFlatImage(PhotoPath("a.png"), 40, 30, Qt::red));
    ASSERT_NE(OpenList(PhotoPath("a.png")), nullptr);
    EXPECT_EQ(Frame()->GetCurrentMenuId(), IDR_PHOTOLIST);
    QMenu* file = Frame()->GetCurrentMenus().at(0);
    EXPECT_EQ(ItemTexts(file), (QStringList{"&Open...\tCtrl+O", "&Close", "-", "Make Film", "-",
                                            QStringLiteral("&1 %1").arg(PhotoPath("a.png")), "-", "E&xit"}));
    for (UINT id : {ID_MAKE_FILM, ID_SHOW_PROPERTIES, ID_ZOOM_PLUS, ID_ZOOM_MINUS, ID_REFRESH_PHOTOS, ID_SELECT_ALL_PHOTOS})
        EXPECT_TRUE(Frame()->GetCommandAction(id)->isEnabled()) << id;
    EXPECT_TRUE(Frame()->GetSafeWidget()->windowTitle().startsWith("Strevio - "));

    Frame()->ExecuteCommand(ID_CLOSE_ALL);
    EXPECT_EQ(Frame()->GetCurrentMenuId(), IDR_MAINFRAME);
    EXPECT_EQ(MenuTitles(Frame()), (QStringList{"&File", "&View", "&Window", "&Help"}));
    EXPECT_TRUE(Frame()->GetChildFrames().empty());
    EXPECT_FALSE(Frame()->GetCommandAction(ID_MAKE_FILM)->isEnabled());
    EXPECT_EQ(Frame()->GetSafeWidget()->windowTitle(), "Strevio");
}

TEST_F(ShellTest, OpeningAnyFileShowsItsFolderAndTheSamePathTwiceGivesTwoWindows)
{
    ASSERT_TRUE(WriteFlatImage(PhotoPath("a.png"), 40, 30, Qt::red));
    QFile notes(PhotoPath("notes.txt"));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("not a photo");
    notes.close();

    CDocument* first = m_app->OpenDocumentFile(PhotoPath("notes.txt"));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetTitle(), m_photos.path());
    CDocument* second = m_app->OpenDocumentFile(PhotoPath("notes.txt"));
    EXPECT_EQ(second, first); // the older window is returned and raised
    EXPECT_EQ(DocumentCount(1), 2);
    EXPECT_EQ(Frame()->MDIGetActive()->GetActiveDocument(), first);
    EXPECT_TRUE(m_messages.isEmpty());
}

TEST_F(ShellTest, UnreadablePathsAreReportedAndLeaveNoWindow)
{
    const QString missing = PhotoPath("missing.jpg");
    const QString fifo = PhotoPath("pipe.jpg");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const int before = int(Frame()->GetChildFrames().size());
    for (const QString& path : {missing, fifo, m_photos.path()}) {
        m_messages.clear();
        EXPECT_EQ(m_app->OpenDocumentFile(path), nullptr) << path.toStdString();
        // The photo-list type and then the single-photo type both report it.
        ASSERT_EQ(m_messages.size(), 2) << path.toStdString();
        EXPECT_TRUE(m_messages[0].contains(path));
    }
    EXPECT_EQ(int(Frame()->GetChildFrames().size()), before);
    EXPECT_EQ(DocumentCount(0), 0);
    EXPECT_EQ(DocumentCount(1), 0);
}

TEST_F(ShellTest, ARecentFileThatFailsIsDroppedFromTheList)
{
    ASSERT_TRUE(WriteFlatImage(PhotoPath("a.png"), 40, 30, Qt::red));
    ASSERT_NE(OpenList(PhotoPath("a.png")), nullptr);
    ASSERT_EQ(m_app->GetRecentFileList()->GetSize(), 1);
    Frame()->ExecuteCommand(ID_CLOSE_ALL);
    QFile::remove(PhotoPath("a.png"));
    EXPECT_TRUE(Frame()->ExecuteCommand(ID_FILE_MRU_FILE1));
    EXPECT_EQ(m_app->GetRecentFileList()->GetSize(), 0);
    EXPECT_EQ(m_messages.size(), 2);
}

TEST_F(ShellTest, CloseAllClosesEveryWindowWithoutAQuestion)
{
    ASSERT_TRUE(WriteFlatImage(PhotoPath("a.png"), 40, 30, Qt::red));
    CListView_Photos* list = OpenList(PhotoPath("a.png"));
    ASSERT_NE(list, nullptr);
    OpenList(PhotoPath("a.png"));
    g_PathToOpen = PhotoPath("a.png");
    m_app->m_pPhotoViewTemplate->OpenDocumentFile(QString(), true);
    EXPECT_EQ(Frame()->GetChildFrames().size(), 4u);
    Frame()->ExecuteCommand(ID_CLOSE_ALL);
    EXPECT_TRUE(Frame()->GetChildFrames().empty());
    EXPECT_TRUE(m_messages.isEmpty());
    EXPECT_TRUE(Frame()->GetSafeWidget()->isVisible());
}

TEST_F(ShellTest, NewOffersTheTwoTypesNamedStrevio)
{
    QStringList offered;
    m_app->m_pfnChooseNewType = [&offered](const QStringList& names) {
        offered = names;
        return 0;
    };
    g_PathToOpen = QStringLiteral("/nonexistent/photo.jpg");
    EXPECT_TRUE(Frame()->ExecuteCommand(ID_FILE_NEW));
    EXPECT_EQ(offered, (QStringList{"Strevio", "Strevio"}));
    ASSERT_EQ(DocumentCount(0), 1);
    auto* view = dynamic_cast<CStrevioView*>(Frame()->GetActiveView());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->m_PhotoPath, g_PathToOpen);
    EXPECT_EQ(view->GetDocument()->GetTitle(), g_PathToOpen);
}

TEST_F(ShellTest, SaveNeverTouchesTheOpenedFile)
{
    ASSERT_TRUE(WriteFlatImage(PhotoPath("a.png"), 40, 30, Qt::red));
    QFile original(PhotoPath("a.png"));
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray bytes = original.readAll();
    original.close();
    ASSERT_NE(OpenList(PhotoPath("a.png")), nullptr);
    EXPECT_FALSE(Frame()->ExecuteCommand(ID_FILE_SAVE));
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    EXPECT_EQ(original.readAll(), bytes);
}

TEST_F(ShellTest, ProgressBarStartsAfterItsTextAsTheFontDrawsIt)
{
    // At least 5.5 pixels a character (at most 50 characters), and never over the text.
    const struct {
        QString text;
        int estimate;
    } cases[] = {{" ", 5}, {" Creating a Film:  ", 104}, {"", 2}, {QString(50, 'W'), 275}, {QString(51, 'y'), 275}};
    CStatusBar& statusBar = Frame()->m_wndStatusBar;
    for (const auto& c : cases) {
        QApplication::processEvents(); // the status bar's layout settles, as between commands
        g_pFrameTools->ShowProgress(c.text, nullptr);
        RECT pane;
        statusBar.GetItemRect(0, &pane);
        auto* bar = qobject_cast<QProgressBar*>(g_pFrameTools->m_Progress.GetSafeWidget());
        ASSERT_NE(bar, nullptr);
        if (c.text.isEmpty())
            EXPECT_EQ(bar->geometry().left(), 2);
        else
            EXPECT_EQ(bar->geometry().left(), std::max(c.estimate, statusBar.GetTextRight(0) + CStatusBar::kTextGap))
                << c.text.toStdString();
        EXPECT_EQ(bar->geometry().top(), 2);
        EXPECT_EQ(bar->geometry().bottom(), 15);
        EXPECT_EQ(bar->geometry().right(), pane.right - 5 - 1);
        EXPECT_EQ(bar->value(), 0);
        EXPECT_EQ(bar->maximum(), 100);
        EXPECT_EQ(statusBar.GetPaneText(0), c.text.left(50));
    }
    // Fifty wide letters are wider than 275 pixels in any font this runs with.
    EXPECT_GT(statusBar.GetTextRight(0), 275);
    EXPECT_EQ(statusBar.GetSafeWidget()->findChildren<QProgressBar*>().size(), 1);

    // A longer text put in the pane later moves the bar's left edge after it.
    g_pFrameTools->ShowProgress(QStringLiteral(" "), nullptr);
    QWidget* bar = g_pFrameTools->m_Progress.GetSafeWidget();
    const int right = bar->geometry().right();
    Frame()->SetMessageText(QString(30, 'W'));
    EXPECT_EQ(bar->geometry().left(), statusBar.GetTextRight(0) + CStatusBar::kTextGap);
    EXPECT_EQ(bar->geometry().right(), right);
}

TEST_F(ShellTest, MenuItemsShowTheirPromptInTheStatusBar)
{
    ASSERT_TRUE(WriteFlatImage(PhotoPath("a.png"), 40, 30, Qt::red));
    ASSERT_NE(OpenList(PhotoPath("a.png")), nullptr);
    QMenu* view = Frame()->GetCurrentMenus().at(1);
    QAction* refresh = Frame()->GetCommandAction(ID_REFRESH_PHOTOS);
    ASSERT_TRUE(view->actions().contains(refresh));
    EXPECT_EQ(refresh->toolTip(), "Refresh Photos");
    // A menu shows its items' tips through the menu bar that opened it.
    QWidget* menuBar = qobject_cast<QMainWindow*>(Frame()->GetSafeWidget())->menuBar();
    refresh->showStatusText(menuBar);
    EXPECT_EQ(Frame()->m_wndStatusBar.GetPaneText(0), "Refresh Photos");
    Frame()->GetCommandAction(ID_CLOSE_ALL)->showStatusText(menuBar);
    EXPECT_EQ(Frame()->m_wndStatusBar.GetPaneText(0), "Close all Windows");
    QStatusTipEvent leave{QString()};
    QApplication::sendEvent(menuBar, &leave);
    EXPECT_EQ(Frame()->m_wndStatusBar.GetPaneText(0), " ");
}

TEST_F(ShellTest, AClosedWindowHandsTheActivationBackToTheWindowActiveBeforeIt)
{
    enum class Way { CloseBox, CtrlW, CtrlF4, FileClose };
    struct Case {
        const char* name;
        Way way;
    };
    const Case cases[] = {
        {"close box", Way::CloseBox}, {"Ctrl+W", Way::CtrlW}, {"Ctrl+F4", Way::CtrlF4}, {"File > Close", Way::FileClose}};
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(WriteFlatImage(PhotoPath(QStringLiteral("p%1.png").arg(i)), 40, 30, QColor(60 * i, 90, 160)));
    QWidget* window = Frame()->GetSafeWidget();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    // Windows are created in the order start page, first list, second list; the first list is
    // activated again and opens a photo of its own.
    CListView_Photos* first = OpenList(PhotoPath("p0.png"));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(OpenList(PhotoPath("p1.png")), nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dynamic_cast<CMDIChildWnd*>(first->GetParentFrame())->ActivateFrame(true);
        for (int item = 0; item < 3; ++item)
            first->GetListCtrl().SetItemState(item, 0, LVIS_SELECTED);
        QTest::keyClick(first->GetListCtrl().GetWidget(), Qt::Key_Return);
        CView* photo = Frame()->GetActiveView();
        ASSERT_NE(dynamic_cast<CStrevioView*>(photo), nullptr);
        QMdiSubWindow* photoWindow = dynamic_cast<CMDIChildWnd*>(photo->GetParentFrame())->GetSubWindow();

        switch (c.way) {
        case Way::CloseBox: photoWindow->close(); break;
        case Way::CtrlW: QTest::keyClick(photo->GetSafeWidget(), Qt::Key_W, Qt::ControlModifier); break;
        case Way::CtrlF4: QTest::keyClick(photo->GetSafeWidget(), Qt::Key_F4, Qt::ControlModifier); break;
        case Way::FileClose: Frame()->ExecuteCommand(ID_FILE_CLOSE); break;
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();

        EXPECT_EQ(Frame()->GetActiveView(), first);
        // The keys that follow go to that list: Ctrl+A selects its photos.
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        EXPECT_EQ(first->GetListCtrl().GetSelectedCount(), 3u);
    }
}
