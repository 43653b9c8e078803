// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/cmainframe.h"

#include "app/globals.h"
#include "framework/afxres.h"
#include "platform/paths/localpath.h"
#include "res/resource.h"

IMPLEMENT_DYNAMIC(CMainFrame, CMDIFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CMDIFrameWnd)
    ON_COMMAND(ID_HELP_FINDER, &CMainFrame::OnHelpFinder)
    ON_COMMAND(ID_HELP, &CMainFrame::OnHelp)
    ON_COMMAND(ID_CONTEXT_HELP, &CMainFrame::OnContextHelp)
    ON_COMMAND(ID_DEFAULT_HELP, &CMainFrame::OnHelpFinder)
END_MESSAGE_MAP()

namespace {
const UINT kIndicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};
}

bool CMainFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    return CMDIFrameWnd::PreCreateWindow(cs) ? 1 : 0;
}

int CMainFrame::OnCreate(CREATESTRUCT* cs)
{
    if (CMDIFrameWnd::OnCreate(cs) == -1)
        return -1;
    if (!m_wndToolBar.CreateEx(this, TBSTYLE_FLAT,
                               WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER | CBRS_TOOLTIPS | CBRS_FLYBY
                                   | CBRS_SIZE_DYNAMIC,
                               RECT{0, 0, 0, 0}, AFX_IDW_TOOLBAR)
        || !m_wndToolBar.LoadToolBar(IDR_MAINFRAME))
        return -1;
    if (!m_wndStatusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, AFX_IDW_STATUS_BAR)
        || !m_wndStatusBar.SetIndicators(kIndicators, int(std::size(kIndicators))))
        return -1;
    m_wndToolBar.EnableDocking(CBRS_ALIGN_ANY);
    EnableDocking(CBRS_ALIGN_ANY);
    DockControlBar(&m_wndToolBar);
    g_pFrameTools = &m_FrameTools;
    g_pFilmWriter = &m_FilmWriter;
    g_StartFolder = LocalPath::currentFolder();
    return 0;
}
