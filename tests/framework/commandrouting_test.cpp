// SPDX-License-Identifier: GPL-2.0-or-later
// Commands go to the active view, its document, its window, the main frame and the application,
// in that order; what no one handles is greyed wherever it appears.

#include "framework/afxres.h"
#include "framework/cmdichildwnd.h"
#include "framework/cmultidoctemplate.h"
#include "framework/cstatusbar.h"
#include "tests/framework/frameworkfixture.h"
#include "tests/framework/testdocument.h"
#include "tests/framework/testmainframe.h"
#include "tests/framework/testresources.h"
#include "tests/framework/testview.h"

#include <QAction>
#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusTipEvent>
#include <QToolBar>

namespace {
class CommandRouting : public FrameworkFixture {
protected:
    CDocument* Open(UINT type, const QString& name)
    {
        return Template(type)->OpenDocumentFile(MakeFile(name), true);
    }
};
} // namespace

TEST_F(CommandRouting, EachCommandRunsAtTheFirstHandlerOnTheRoute)
{
    ASSERT_NE(Open(IDR_TYPE_A, "a.jpg"), nullptr);
    const std::vector<std::pair<UINT, QString>> expected = {
        {ID_CMD_VIEW, "view a.jpg"}, {ID_CMD_DOC, "doc"},       {ID_CMD_CHILD, "child"},
        {ID_CMD_MAIN, "main"},       {ID_CMD_APP, "app"},       {ID_CMD_ALL, "view a.jpg"},
        {ID_CMD_DOC_AND_UP, "doc"},  {ID_CMD_CHILD_AND_UP, "child"}, {ID_CMD_MAIN_AND_APP, "main"},
    };
    for (const auto& [id, who] : expected) {
        CommandLog().clear();
        EXPECT_TRUE(Frame()->ExecuteCommand(id)) << id;
        EXPECT_EQ(CommandLog(), QStringList{LogEntry(who, id)}) << id;
    }
}

TEST_F(CommandRouting, CommandsGoToTheViewOfTheActiveWindow)
{
    CDocument* first = Open(IDR_TYPE_A, "first.jpg");
    CDocument* second = Open(IDR_TYPE_B, "second.jpg");
    ASSERT_TRUE(first && second);
    EXPECT_TRUE(Frame()->ExecuteCommand(ID_CMD_VIEW));
    FrameOf(first)->ActivateFrame(true);
    EXPECT_TRUE(Frame()->ExecuteCommand(ID_CMD_VIEW));
    EXPECT_EQ(CommandLog(), (QStringList{LogEntry("view second.jpg", ID_CMD_VIEW), LogEntry("view first.jpg", ID_CMD_VIEW)}));
}

TEST_F(CommandRouting, WithoutDocumentWindowsOnlyMainFrameAndApplicationAnswer)
{
    EXPECT_FALSE(Frame()->ExecuteCommand(ID_CMD_VIEW));
    EXPECT_FALSE(Frame()->ExecuteCommand(ID_CMD_DOC));
    EXPECT_FALSE(Frame()->ExecuteCommand(ID_CMD_CHILD));
    EXPECT_TRUE(Frame()->ExecuteCommand(ID_CMD_ALL));
    EXPECT_TRUE(Frame()->ExecuteCommand(ID_CMD_APP));
    EXPECT_EQ(CommandLog(), (QStringList{LogEntry("main", ID_CMD_ALL), LogEntry("app", ID_CMD_APP)}));
    Frame()->UpdateCommandStates();
    EXPECT_FALSE(Frame()->GetCommandAction(ID_CMD_VIEW)->isEnabled());
    EXPECT_TRUE(Frame()->GetCommandAction(ID_CMD_APP)->isEnabled());
}

TEST_F(CommandRouting, CommandNobodyHandlesIsGreyedInMenuAndToolbarAndDoesNothing)
{
    ASSERT_NE(Open(IDR_TYPE_A, "a.jpg"), nullptr);
    Frame()->UpdateCommandStates();
    QAction* nobody = Frame()->GetCommandAction(ID_CMD_NOBODY);
    QAction* handled = Frame()->GetCommandAction(ID_CMD_VIEW);
    EXPECT_FALSE(nobody->isEnabled());
    EXPECT_TRUE(handled->isEnabled());
    auto* toolbar = qobject_cast<QToolBar*>(Frame()->m_wndToolBar.GetSafeWidget());
    ASSERT_NE(toolbar->widgetForAction(nobody), nullptr);
    EXPECT_FALSE(toolbar->widgetForAction(nobody)->isEnabled());
    EXPECT_TRUE(toolbar->widgetForAction(handled)->isEnabled());
    EXPECT_FALSE(Frame()->ExecuteCommand(ID_CMD_NOBODY));
    nobody->trigger();
    EXPECT_TRUE(CommandLog().isEmpty());
}

TEST_F(CommandRouting, UpdateHandlersGreyAndCheckTheirCommands)
{
    ASSERT_NE(Open(IDR_TYPE_A, "a.jpg"), nullptr);
    Frame()->UpdateCommandStates();
    QAction* greyed = Frame()->GetCommandAction(ID_CMD_GREYED);
    QAction* checked = Frame()->GetCommandAction(ID_CMD_CHECKED);
    EXPECT_FALSE(greyed->isEnabled());
    EXPECT_FALSE(Frame()->ExecuteCommand(ID_CMD_GREYED));
    EXPECT_TRUE(CommandLog().isEmpty()) << "a greyed command must not run";
    EXPECT_TRUE(checked->isEnabled());
    EXPECT_TRUE(checked->isCheckable());
    EXPECT_TRUE(checked->isChecked());
    EXPECT_FALSE(Frame()->GetCommandAction(ID_CMD_VIEW)->isChecked());
}

TEST_F(CommandRouting, MenuItemsRunTheirCommandsAlongTheRoute)
{
    ASSERT_NE(Open(IDR_TYPE_A, "a.jpg"), nullptr);
    Frame()->UpdateCommandStates();
    Frame()->GetCommandAction(ID_CMD_DOC)->trigger();
    Frame()->GetCommandAction(ID_CMD_APP)->trigger();
    EXPECT_EQ(CommandLog(), (QStringList{LogEntry("doc", ID_CMD_DOC), LogEntry("app", ID_CMD_APP)}));
}

TEST_F(CommandRouting, BarTogglesHideTheBarsAndShowTheirState)
{
    QAction* toolbarToggle = Frame()->GetCommandAction(ID_VIEW_TOOLBAR);
    QAction* statusToggle = Frame()->GetCommandAction(ID_VIEW_STATUS_BAR);
    Frame()->UpdateCommandStates();
    EXPECT_TRUE(toolbarToggle->isChecked());
    EXPECT_TRUE(Frame()->ExecuteCommand(ID_VIEW_TOOLBAR));
    EXPECT_FALSE(Frame()->m_wndToolBar.IsVisible());
    EXPECT_FALSE(toolbarToggle->isChecked());
    EXPECT_TRUE(Frame()->ExecuteCommand(ID_VIEW_STATUS_BAR));
    EXPECT_FALSE(Frame()->m_wndStatusBar.IsVisible());
    EXPECT_FALSE(statusToggle->isChecked());
    EXPECT_TRUE(Frame()->ExecuteCommand(ID_VIEW_TOOLBAR));
    EXPECT_TRUE(Frame()->m_wndToolBar.IsVisible());
    EXPECT_TRUE(toolbarToggle->isChecked());
}

TEST_F(CommandRouting, MenuBarShowsTheMenuOfTheActiveDocumentType)
{
    const QStringList mainMenu{"&File", "&Commands", "&Help"};
    const QStringList menuA{"&File", "&Photo", "&Window"};
    const QStringList menuB{"&File", "&List", "&Zoom", "&Window"};
    EXPECT_EQ(MenuTitles(), mainMenu);
    CDocument* a = Open(IDR_TYPE_A, "a.jpg");
    EXPECT_EQ(MenuTitles(), menuA);
    CDocument* b = Open(IDR_TYPE_B, "b.jpg");
    EXPECT_EQ(MenuTitles(), menuB);
    FrameOf(a)->ActivateFrame(true);
    EXPECT_EQ(MenuTitles(), menuA);
    EXPECT_EQ(Frame()->GetWindowText(), QString(kMainCaption) + " - a.jpg");
    FrameOf(a)->DestroyWindow();
    EXPECT_EQ(MenuTitles(), menuB) << "the remaining window's type";
    EXPECT_EQ(Frame()->GetWindowText(), QString(kMainCaption) + " - b.jpg");
    FrameOf(b)->DestroyWindow();
    EXPECT_EQ(MenuTitles(), mainMenu);
    EXPECT_EQ(Frame()->GetWindowText(), QString(kMainCaption));
}

TEST_F(CommandRouting, CloseAllClosesEveryWindowWithoutAQuestion)
{
    CDocument* a = Open(IDR_TYPE_A, "a.jpg");
    ASSERT_NE(Open(IDR_TYPE_B, "b.jpg"), nullptr);
    ASSERT_NE(Open(IDR_TYPE_B, "c.jpg"), nullptr);
    a->SetModifiedFlag(true);
    EXPECT_TRUE(Frame()->ExecuteCommand(ID_WINDOW_NEW));
    ASSERT_EQ(ChildWindowCount(), 4);
    m_app->CloseAllDocuments(true);
    EXPECT_EQ(ChildWindowCount(), 0);
    EXPECT_TRUE(Frame()->GetChildFrames().empty());
    EXPECT_TRUE(Template(IDR_TYPE_A)->GetDocuments().empty());
    EXPECT_TRUE(Template(IDR_TYPE_B)->GetDocuments().empty());
    EXPECT_EQ(CTestDocument::s_nLive, 0);
    EXPECT_TRUE(m_messages.isEmpty()) << m_messages.join('|').toStdString();
    EXPECT_EQ(MenuTitles(), (QStringList{"&File", "&Commands", "&Help"}));
    EXPECT_TRUE(Frame()->GetSafeWidget()->isVisible());
}

TEST_F(CommandRouting, ClosingAWindowOrTheProgramClosesItsDocuments)
{
    CDocument* a = Open(IDR_TYPE_A, "a.jpg");
    CDocument* b = Open(IDR_TYPE_B, "b.jpg");
    QAction* viewCommand = Frame()->GetCommandAction(ID_CMD_VIEW);
    FrameOf(a)->ActivateFrame(true);
    EXPECT_TRUE(Frame()->ExecuteCommand(ID_FILE_CLOSE));
    EXPECT_EQ(ChildWindowCount(), 1);
    EXPECT_TRUE(Template(IDR_TYPE_A)->GetDocuments().empty());
    EXPECT_TRUE(viewCommand->isEnabled()) << "b's view answers now";
    ASSERT_TRUE(FrameOf(b)->GetSubWindow()->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(ChildWindowCount(), 0);
    EXPECT_EQ(CTestDocument::s_nLive, 0);
    EXPECT_FALSE(viewCommand->isEnabled());
    ASSERT_NE(Open(IDR_TYPE_A, "c.jpg"), nullptr);
    EXPECT_TRUE(Frame()->ExecuteCommand(ID_APP_EXIT));
    EXPECT_EQ(CTestDocument::s_nLive, 0);
    EXPECT_FALSE(Frame()->GetSafeWidget()->isVisible());
    EXPECT_TRUE(m_messages.isEmpty());
}

TEST_F(CommandRouting, NewWindowShowsTheSameDocumentNumbered)
{
    CDocument* document = Open(IDR_TYPE_A, "a.jpg");
    ASSERT_TRUE(Frame()->ExecuteCommand(ID_WINDOW_NEW));
    ASSERT_EQ(document->GetViews().size(), 2u);
    EXPECT_EQ(ViewOf(document, 1)->m_nInitialUpdates, 1);
    EXPECT_EQ(FrameOf(document, 0)->GetWindowText(), "a.jpg:1");
    EXPECT_EQ(FrameOf(document, 1)->GetWindowText(), "a.jpg:2");
    EXPECT_EQ(Frame()->GetWindowText(), QString(kMainCaption) + " - a.jpg:2");
    FrameOf(document, 1)->DestroyWindow();
    ASSERT_EQ(document->GetViews().size(), 1u) << "the document stays while a window shows it";
    EXPECT_EQ(FrameOf(document)->GetWindowText(), "a.jpg");
    EXPECT_EQ(CTestDocument::s_nLive, 1);
}

TEST_F(CommandRouting, NewWindowRunsInitialUpdateOnceAndPaintsThroughOnDraw)
{
    CDocument* document = Open(IDR_TYPE_A, "a.jpg");
    CTestView* view = ViewOf(document);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->m_nInitialUpdates, 1);
    EXPECT_EQ(view, ActiveTestView());
    view->GetSafeWidget()->grab();
    EXPECT_GT(view->m_nDraws, 0);
    EXPECT_TRUE(view->m_bDrewWithPainter);
}

TEST_F(CommandRouting, StatusBarShowsPromptsAndTheIdleText)
{
    QAction* viewCommand = Frame()->GetCommandAction(ID_CMD_VIEW);
    EXPECT_EQ(viewCommand->toolTip(), "View command");
    viewCommand->showStatusText(Frame()->GetSafeWidget());
    EXPECT_EQ(Frame()->m_wndStatusBar.GetPaneText(0), "Runs in the view");
    QStatusTipEvent leave{QString()};
    QCoreApplication::sendEvent(Frame()->GetSafeWidget(), &leave);
    EXPECT_EQ(Frame()->m_wndStatusBar.GetPaneText(0), "Idle");
}
