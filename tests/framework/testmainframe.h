// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The main frame of the tests: a toolbar and a status bar with a message pane, and a log of the
// commands it handles.

#include "framework/cmdiframewnd.h"
#include "framework/cstatusbar.h"
#include "framework/ctoolbar.h"

class CTestMainFrame : public CMDIFrameWnd {
    DECLARE_DYNAMIC(CTestMainFrame)
public:
    int OnCreate(CREATESTRUCT* cs) override;

    CToolBar m_wndToolBar;
    CStatusBar m_wndStatusBar;

protected:
    void OnCommand(UINT id);

    DECLARE_MESSAGE_MAP()
};
