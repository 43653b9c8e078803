// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/framework/testmainframe.h"

#include "framework/afxres.h"
#include "tests/framework/testresources.h"

IMPLEMENT_DYNAMIC(CTestMainFrame, CMDIFrameWnd)

BEGIN_MESSAGE_MAP(CTestMainFrame, CMDIFrameWnd)
    ON_COMMAND_RANGE(ID_CMD_MAIN, ID_CMD_MAIN, &CTestMainFrame::OnCommand)
    ON_COMMAND_RANGE(ID_CMD_ALL, ID_CMD_MAIN_AND_APP, &CTestMainFrame::OnCommand)
END_MESSAGE_MAP()

namespace {
const UINT kIndicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};
}

int CTestMainFrame::OnCreate(CREATESTRUCT* cs)
{
    if (CMDIFrameWnd::OnCreate(cs) == -1)
        return -1;
    if (!m_wndToolBar.CreateEx(this, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP, RECT{0, 0, 0, 0}, AFX_IDW_TOOLBAR)
        || !m_wndToolBar.LoadToolBar(IDR_TEST_MAIN))
        return -1;
    if (!m_wndStatusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, AFX_IDW_STATUS_BAR)
        || !m_wndStatusBar.SetIndicators(kIndicators, int(std::size(kIndicators))))
        return -1;
    DockControlBar(&m_wndToolBar);
    return 0;
}

void CTestMainFrame::OnCommand(UINT id)
{
    CommandLog().append(LogEntry(QStringLiteral("main"), id));
}
