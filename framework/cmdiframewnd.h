// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The main frame: a QMainWindow around a QMdiArea, with the menu of the active document type,
// a toolbar, a status bar and the accelerator table. It routes every command along the active
// view, its document, its frame, the main frame and the application, and keeps each command's
// menu items and toolbar buttons enabled exactly while someone on that route handles it.

#include "framework/cframewnd.h"

#include <QString>

#include <map>
#include <memory>
#include <vector>

class CAcceleratorFilter;
class CMDIChildWnd;
class CStatusBar;
class QAction;
class QMdiArea;
class QMenu;

class CMDIFrameWnd : public CFrameWnd {
    DECLARE_DYNAMIC(CMDIFrameWnd)
public:
    CMDIFrameWnd();
    ~CMDIFrameWnd() override;

    bool LoadFrame(UINT resourceId, DWORD style, CWnd* parent, void* context);
    virtual int OnCreate(CREATESTRUCT* cs);

    QMdiArea* GetMdiArea() const { return m_pMdiArea; }
    CMDIChildWnd* MDIGetActive() const;
    std::vector<CMDIChildWnd*> GetChildFrames() const;
    CView* GetActiveView() const override;

    void EnableDocking(DWORD dockStyle);
    void DockControlBar(CControlBar* bar);
    CStatusBar* GetMessageBar() const;
    void SetMessageText(const QString& text) override;
    void OnUpdateFrameTitle() override;

    // The one action of a command, shared by menus and toolbar.
    QAction* GetCommandAction(UINT id);
    // Runs a command along the route if it is enabled; false when no one handles it.
    bool ExecuteCommand(UINT id);
    // Whether someone on the route handles `id` (and its update handler enables it).
    bool IsCommandEnabled(UINT id);
    void UpdateCommandStates();
    UINT GetCurrentMenuId() const { return m_nCurrentMenu; }
    QList<QMenu*> GetCurrentMenus() const;
    void RefreshRecentFileItems();

    bool OnCmdMsg(UINT id, CCmdUI* ui) override;

    void OnChildFrameCreated(CMDIChildWnd* frame);
    // A window that goes hands the activation back to the window that was active before it, not
    // to the one Qt picks. Between the start of its close and its end (`closing` false when the
    // close is refused, else its destruction) the activations Qt makes are no history.
    void OnChildFrameClosing(CMDIChildWnd* frame, bool closing);
    void OnChildFrameDestroyed(CMDIChildWnd* frame);
    void OnCloseRequest();

protected:
    void OnWindowNew();
    void OnWindowCascade();
    void OnWindowTile();
    void OnWindowArrange();
    void OnBarCheck(UINT id);
    void OnUpdateBarCheck(CCmdUI* ui);
    void OnUpdateStatusBarCheck(CCmdUI* ui);
    void OnUpdateWindowCommand(CCmdUI* ui);
    void OnHelpFinder();
    void OnHelp();
    void OnContextHelp();

private:
    void OnSubWindowActivated();
    void LeaveActivationHistory(CMDIChildWnd* frame);
    void ActivateFromHistory();
    void UpdateCommandState(UINT id, QAction* action);
    void ShowMenu(UINT menuId);
    QMenu* BuildPopup(const struct MenuItemResource& popup);
    void AddRecentFileItems(QMenu* menu);
    void AddWindowList(QMenu* menu);

    QMdiArea* m_pMdiArea = nullptr;
    std::map<UINT, QAction*> m_actions;
    std::map<UINT, QList<QMenu*>> m_menus;
    std::vector<QAction*> m_recentFileActions;
    std::vector<QAction*> m_recentFilePlaceholders;
    std::vector<CMDIChildWnd*> m_childFrames;
    // The child frames in the order they were last active, the active one last.
    std::vector<CMDIChildWnd*> m_activationHistory;
    std::vector<CMDIChildWnd*> m_closingFrames;
    // Set while a window that went hands the activation back.
    bool m_bRestoringActivation = false;
    UINT m_nCurrentMenu = 0;
    std::unique_ptr<CAcceleratorFilter> m_pAccelerators;

    DECLARE_MESSAGE_MAP()
};
