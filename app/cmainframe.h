// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The main frame: menus, toolbar, status bar and the document windows; it owns the tool object
// and the film writer that the rest of the program reaches through globals.

#include "app/cframetools.h"
#include "film/cfilmwriter.h"
#include "framework/cmdiframewnd.h"
#include "framework/cstatusbar.h"
#include "framework/ctoolbar.h"

class CMainFrame : public CMDIFrameWnd {
    DECLARE_DYNAMIC(CMainFrame)
public:
    CMainFrame() = default;
    ~CMainFrame() override = default;

    bool PreCreateWindow(CREATESTRUCT& cs) override;
    int OnCreate(CREATESTRUCT* cs) override;

    CFrameTools m_FrameTools;
    CFilmWriter m_FilmWriter;
    CStatusBar m_wndStatusBar;
    CToolBar m_wndToolBar;

    DECLARE_MESSAGE_MAP()
};
