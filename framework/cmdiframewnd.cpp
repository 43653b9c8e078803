// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/cmdiframewnd.h"

#include "framework/afxguard.h"
#include "framework/afxres.h"
#include "framework/cacceleratorfilter.h"
#include "framework/cdocument.h"
#include "framework/cdoctemplate.h"
#include "framework/childframewidget.h"
#include "framework/cmdichildwnd.h"
#include "framework/cstatusbar.h"
#include "framework/ctoolbar.h"
#include "framework/cview.h"
#include "framework/cwinapp.h"
#include "framework/crecentfilelist.h"
#include "framework/mainframewidget.h"
#include "framework/resources.h"
#include "platform/paths/localpath.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFileInfo>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QToolBar>

#include <algorithm>

namespace {
// "&1 text" to "&9 text", then "1&0 text": each entry's own digit is its mnemonic. The text's
// ampersands are its own, not mnemonics.
QString NumberedMenuText(int number, QString text)
{
    const QString digits = QString::number(number);
    const QString mnemonic = digits.left(digits.size() - 1) + QLatin1Char('&') + digits.right(1);
    return mnemonic + QLatin1Char(' ') + text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}
} // namespace

IMPLEMENT_DYNAMIC(CMDIFrameWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CMDIFrameWnd, CFrameWnd)
    ON_COMMAND(ID_WINDOW_NEW, &CMDIFrameWnd::OnWindowNew)
    ON_COMMAND(ID_WINDOW_CASCADE, &CMDIFrameWnd::OnWindowCascade)
    ON_COMMAND(ID_WINDOW_TILE_HORZ, &CMDIFrameWnd::OnWindowTile)
    ON_COMMAND(ID_WINDOW_ARRANGE, &CMDIFrameWnd::OnWindowArrange)
    ON_UPDATE_COMMAND_UI(ID_WINDOW_NEW, &CMDIFrameWnd::OnUpdateWindowCommand)
    ON_UPDATE_COMMAND_UI(ID_WINDOW_CASCADE, &CMDIFrameWnd::OnUpdateWindowCommand)
    ON_UPDATE_COMMAND_UI(ID_WINDOW_TILE_HORZ, &CMDIFrameWnd::OnUpdateWindowCommand)
    ON_UPDATE_COMMAND_UI(ID_WINDOW_ARRANGE, &CMDIFrameWnd::OnUpdateWindowCommand)
    ON_COMMAND_RANGE(ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, &CMDIFrameWnd::OnBarCheck)
    ON_UPDATE_COMMAND_UI(ID_VIEW_TOOLBAR, &CMDIFrameWnd::OnUpdateBarCheck)
    ON_UPDATE_COMMAND_UI(ID_VIEW_STATUS_BAR, &CMDIFrameWnd::OnUpdateStatusBarCheck)
END_MESSAGE_MAP()

CMDIFrameWnd::CMDIFrameWnd() = default;

CMDIFrameWnd::~CMDIFrameWnd()
{
    if (m_pAccelerators)
        qApp->removeEventFilter(m_pAccelerators.get());
    if (auto* window = dynamic_cast<CMainFrameWidget*>(GetSafeWidget()))
        window->DetachFrame();
    for (auto& [id, menus] : m_menus)
        qDeleteAll(menus);
}

bool CMDIFrameWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* /*parent*/, void* /*context*/)
{
    CREATESTRUCT cs;
    cs.style = style;
    cs.lpszName = AfxLoadString(resourceId);
    if (!PreCreateWindow(cs))
        return false;
    m_nIDResource = resourceId;
    m_dwStyle = cs.style;
    auto* window = new CMainFrameWidget(this);
    window->setWindowTitle(cs.lpszName);
    window->setWindowIcon(AfxLoadIcon(resourceId));
    window->resize(1024, 720);
    Attach(window, true);
    if (OnCreate(&cs) == -1) {
        DestroyWindow();
        return false;
    }
    ShowMenu(resourceId);
    m_pAccelerators = std::make_unique<CAcceleratorFilter>(this, resourceId);
    qApp->installEventFilter(m_pAccelerators.get());
    QObject::connect(m_pMdiArea, &QMdiArea::subWindowActivated, window, [this] { OnSubWindowActivated(); });
    QObject::connect(qApp, &QApplication::focusChanged, window, [this] { UpdateCommandStates(); });
    OnUpdateFrameTitle();
    UpdateCommandStates();
    return true;
}

int CMDIFrameWnd::OnCreate(CREATESTRUCT* /*cs*/)
{
    auto* window = qobject_cast<QMainWindow*>(GetSafeWidget());
    if (!window)
        return -1;
    m_pMdiArea = new QMdiArea(window);
    m_pMdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_pMdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    window->setCentralWidget(m_pMdiArea);
    return 0;
}

CMDIChildWnd* CMDIFrameWnd::MDIGetActive() const
{
    if (!m_pMdiArea)
        return nullptr;
    auto* window = dynamic_cast<CChildFrameWidget*>(m_pMdiArea->currentSubWindow());
    return window ? window->GetFrame() : nullptr;
}

std::vector<CMDIChildWnd*> CMDIFrameWnd::GetChildFrames() const
{
    return m_childFrames;
}

CView* CMDIFrameWnd::GetActiveView() const
{
    CMDIChildWnd* child = MDIGetActive();
    return child ? child->GetActiveView() : nullptr;
}

// A QMainWindow takes toolbars on every side; each bar's own allowed sides are set on the bar.
void CMDIFrameWnd::EnableDocking(DWORD /*dockStyle*/) {}

void CMDIFrameWnd::DockControlBar(CControlBar* bar)
{
    auto* window = qobject_cast<QMainWindow*>(GetSafeWidget());
    auto* toolbar = bar ? qobject_cast<QToolBar*>(bar->GetSafeWidget()) : nullptr;
    if (window && toolbar)
        window->addToolBar(Qt::TopToolBarArea, toolbar);
}

CStatusBar* CMDIFrameWnd::GetMessageBar() const
{
    return dynamic_cast<CStatusBar*>(GetControlBar(AFX_IDW_STATUS_BAR));
}

void CMDIFrameWnd::SetMessageText(const QString& text)
{
    if (CStatusBar* bar = GetMessageBar())
        bar->SetPaneText(0, text, true);
}

void CMDIFrameWnd::OnUpdateFrameTitle()
{
    const QString appTitle = AfxLoadString(m_nIDResource);
    CMDIChildWnd* child = MDIGetActive();
    CDocument* document = child ? child->GetActiveDocument() : nullptr;
    QString title = appTitle;
    if (document && (m_dwStyle & FWS_ADDTOTITLE)) {
        title += QStringLiteral(" - ") + document->GetTitle();
        if (child->GetWindowNumber() > 0)
            title += QStringLiteral(":%1").arg(child->GetWindowNumber());
    }
    SetWindowText(title);
}

QAction* CMDIFrameWnd::GetCommandAction(UINT id)
{
    auto it = m_actions.find(id);
    if (it != m_actions.end())
        return it->second;
    auto* action = new QAction(GetSafeWidget());
    action->setData(id);
    action->setStatusTip(AfxCommandPrompt(id));
    const QString tip = AfxCommandTooltip(id);
    if (!tip.isEmpty())
        action->setToolTip(tip);
    QObject::connect(action, &QAction::triggered, action, [this, id] { ExecuteCommand(id); });
    m_actions[id] = action;
    UpdateCommandState(id, action);
    return action;
}

bool CMDIFrameWnd::OnCmdMsg(UINT id, CCmdUI* ui)
{
    if (CMDIChildWnd* child = MDIGetActive(); child && child->OnCmdMsg(id, ui))
        return true;
    if (CFrameWnd::OnCmdMsg(id, ui))
        return true;
    CWinApp* app = AfxGetApp();
    return app && app->OnCmdMsg(id, ui);
}

bool CMDIFrameWnd::IsCommandEnabled(UINT id)
{
    CCmdUI ui(id);
    return OnCmdMsg(id, &ui) && ui.m_bEnabled;
}

bool CMDIFrameWnd::ExecuteCommand(UINT id)
{
    if (!IsCommandEnabled(id))
        return false;
    bool handled = false;
    AfxRunGuarded([&] { handled = OnCmdMsg(id, nullptr); });
    if (GetSafeWidget())
        UpdateCommandStates();
    return handled;
}

void CMDIFrameWnd::UpdateCommandState(UINT id, QAction* action)
{
    CCmdUI ui(id);
    const bool handled = OnCmdMsg(id, &ui);
    action->setEnabled(handled && ui.m_bEnabled);
    action->setCheckable(ui.m_nCheck >= 0);
    if (ui.m_nCheck >= 0)
        action->setChecked(ui.m_nCheck > 0);
}

void CMDIFrameWnd::UpdateCommandStates()
{
    for (auto& [id, action] : m_actions)
        UpdateCommandState(id, action);
    for (QAction* placeholder : m_recentFilePlaceholders)
        placeholder->setEnabled(false);
}

QMenu* CMDIFrameWnd::BuildPopup(const MenuItemResource& popup)
{
    // Parented to the frame, so the status tips of its items reach the status bar.
    auto* menu = new QMenu(popup.text, GetSafeWidget());
    for (const MenuItemResource& item : popup.popup) {
        if (!item.popup.empty()) {
            menu->addMenu(BuildPopup(item));
        } else if (item.IsSeparator()) {
            menu->addSeparator();
        } else if (item.id == ID_FILE_MRU_FILE1) {
            AddRecentFileItems(menu);
        } else {
            QAction* action = GetCommandAction(item.id);
            action->setText(item.text);
            menu->addAction(action);
        }
    }
    QObject::connect(menu, &QMenu::aboutToShow, menu, [this, menu] {
        UpdateCommandStates();
        AddWindowList(menu);
    });
    return menu;
}

void CMDIFrameWnd::AddRecentFileItems(QMenu* menu)
{
    auto* placeholder = menu->addAction(QStringLiteral("Recent File"));
    placeholder->setEnabled(false);
    m_recentFilePlaceholders.push_back(placeholder);
    for (UINT i = 0; i < 10; ++i) {
        QAction* action = GetCommandAction(ID_FILE_MRU_FILE1 + i);
        menu->addAction(action);
        if (m_recentFileActions.size() < 10)
            m_recentFileActions.push_back(action);
    }
    RefreshRecentFileItems();
}

void CMDIFrameWnd::RefreshRecentFileItems()
{
    CWinApp* app = AfxGetApp();
    CRecentFileList* list = app ? app->GetRecentFileList() : nullptr;
    const int count = list ? list->GetSize() : 0;
    for (size_t i = 0; i < m_recentFileActions.size(); ++i) {
        QAction* action = m_recentFileActions[i];
        const bool used = int(i) < count;
        action->setVisible(used);
        if (used) {
            action->setText(NumberedMenuText(int(i) + 1, LocalPath::display((*list)[int(i)])));
        }
    }
    for (QAction* placeholder : m_recentFilePlaceholders)
        placeholder->setVisible(count == 0);
}

void CMDIFrameWnd::AddWindowList(QMenu* menu)
{
    if (!menu->title().contains(QStringLiteral("Window")))
        return;
    for (QAction* action : menu->actions())
        if (action->property("windowList").toBool())
            menu->removeAction(action), action->deleteLater();
    const QList<QMdiSubWindow*> windows = m_pMdiArea->subWindowList();
    if (windows.isEmpty())
        return;
    QAction* separator = menu->addSeparator();
    separator->setProperty("windowList", true);
    int number = 1;
    for (QMdiSubWindow* window : windows) {
        QAction* action = menu->addAction(NumberedMenuText(number++, window->windowTitle()));
        action->setProperty("windowList", true);
        action->setCheckable(true);
        action->setChecked(window == m_pMdiArea->currentSubWindow());
        QObject::connect(action, &QAction::triggered, m_pMdiArea, [this, window] { m_pMdiArea->setActiveSubWindow(window); });
    }
}

void CMDIFrameWnd::ShowMenu(UINT menuId)
{
    const auto& menus = CResources::Instance().menus;
    if (!menus.count(menuId))
        menuId = m_nIDResource;
    auto* window = qobject_cast<QMainWindow*>(GetSafeWidget());
    if (!window || menuId == m_nCurrentMenu)
        return;
    if (!m_menus.count(menuId)) {
        auto it = menus.find(menuId);
        QList<QMenu*> popups;
        if (it != menus.end())
            for (const MenuItemResource& popup : it->second.popups)
                popups.append(BuildPopup(popup));
        m_menus[menuId] = popups;
    }
    window->menuBar()->clear();
    for (QMenu* popup : m_menus[menuId])
        window->menuBar()->addMenu(popup);
    m_nCurrentMenu = menuId;
}

QList<QMenu*> CMDIFrameWnd::GetCurrentMenus() const
{
    auto it = m_menus.find(m_nCurrentMenu);
    return it == m_menus.end() ? QList<QMenu*>() : it->second;
}

void CMDIFrameWnd::OnSubWindowActivated()
{
    CMDIChildWnd* child = MDIGetActive();
    if (child && !m_bRestoringActivation && m_closingFrames.empty()) {
        std::erase(m_activationHistory, child);
        m_activationHistory.push_back(child);
    }
    ShowMenu(child ? child->GetResourceId() : m_nIDResource);
    OnUpdateFrameTitle();
    UpdateCommandStates();
}

void CMDIFrameWnd::OnChildFrameCreated(CMDIChildWnd* frame)
{
    m_childFrames.push_back(frame);
}

void CMDIFrameWnd::OnChildFrameClosing(CMDIChildWnd* frame, bool closing)
{
    std::erase(m_closingFrames, frame);
    if (closing)
        m_closingFrames.push_back(frame);
}

void CMDIFrameWnd::LeaveActivationHistory(CMDIChildWnd* frame)
{
    const auto it = std::find(m_activationHistory.begin(), m_activationHistory.end(), frame);
    if (it == m_activationHistory.end())
        return;
    const bool wasActive = it + 1 == m_activationHistory.end();
    m_activationHistory.erase(it);
    if (!wasActive || m_activationHistory.empty() || !GetSafeWidget() || m_bRestoringActivation)
        return;
    // Qt activates a window of its choosing as the closed one goes; the previous one takes over
    // after that.
    m_bRestoringActivation = true;
    QTimer::singleShot(0, GetSafeWidget(), [this] { ActivateFromHistory(); });
}

void CMDIFrameWnd::ActivateFromHistory()
{
    m_bRestoringActivation = false;
    if (!m_activationHistory.empty())
        m_activationHistory.back()->ActivateFrame(true);
}

void CMDIFrameWnd::OnChildFrameDestroyed(CMDIChildWnd* frame)
{
    std::erase(m_childFrames, frame);
    std::erase(m_closingFrames, frame);
    LeaveActivationHistory(frame);
    if (!GetSafeWidget())
        return;
    // The area reports the next active window itself; with none left the default menu returns.
    if (m_childFrames.empty()) {
        ShowMenu(m_nIDResource);
        OnUpdateFrameTitle();
        UpdateCommandStates();
    }
}

void CMDIFrameWnd::OnCloseRequest()
{
    if (CWinApp* app = AfxGetApp())
        app->CloseAllDocuments(true);
}

void CMDIFrameWnd::OnWindowNew()
{
    CMDIChildWnd* active = MDIGetActive();
    CDocument* document = active ? active->GetActiveDocument() : nullptr;
    CDocTemplate* docTemplate = document ? document->GetDocTemplate() : nullptr;
    if (!docTemplate)
        return;
    if (CMDIChildWnd* frame = docTemplate->CreateNewFrame(document))
        frame->InitialUpdateFrame(document, true);
}

void CMDIFrameWnd::OnUpdateWindowCommand(CCmdUI* ui)
{
    ui->Enable(MDIGetActive() != nullptr);
}

void CMDIFrameWnd::OnWindowCascade()
{
    m_pMdiArea->cascadeSubWindows();
}

void CMDIFrameWnd::OnWindowTile()
{
    m_pMdiArea->tileSubWindows();
}

void CMDIFrameWnd::OnWindowArrange()
{
    // Minimized windows line up along the bottom edge of the area.
    int x = 0;
    for (QMdiSubWindow* window : m_pMdiArea->subWindowList()) {
        if (!window->isMinimized())
            continue;
        const QSize size = window->size();
        window->move(x, m_pMdiArea->viewport()->height() - size.height());
        x += size.width();
    }
}

void CMDIFrameWnd::OnBarCheck(UINT id)
{
    const UINT barId = id == ID_VIEW_TOOLBAR ? AFX_IDW_TOOLBAR : AFX_IDW_STATUS_BAR;
    if (CControlBar* bar = GetControlBar(barId))
        bar->ShowBar(!bar->IsVisible());
}

void CMDIFrameWnd::OnUpdateBarCheck(CCmdUI* ui)
{
    CControlBar* bar = GetControlBar(AFX_IDW_TOOLBAR);
    ui->Enable(bar != nullptr);
    ui->SetCheck(bar && bar->IsVisible() ? 1 : 0);
}

void CMDIFrameWnd::OnUpdateStatusBarCheck(CCmdUI* ui)
{
    CControlBar* bar = GetControlBar(AFX_IDW_STATUS_BAR);
    ui->Enable(bar != nullptr);
    ui->SetCheck(bar && bar->IsVisible() ? 1 : 0);
}

void CMDIFrameWnd::OnHelpFinder()
{
    if (CWinApp* app = AfxGetApp())
        app->ShowHelp(ID_HELP_FINDER);
}

void CMDIFrameWnd::OnHelp()
{
    if (CWinApp* app = AfxGetApp())
        app->ShowHelp(ID_HELP);
}

void CMDIFrameWnd::OnContextHelp()
{
    if (CWinApp* app = AfxGetApp())
        app->ShowHelp(ID_CONTEXT_HELP);
}
