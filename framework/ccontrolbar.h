// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A bar docked on a frame (toolbar or status bar).

#include "framework/cwnd.h"

class CFrameWnd;

class CControlBar : public CWnd {
public:
    void EnableDocking(DWORD dockStyle);
    DWORD GetDockStyle() const { return m_dwDockStyle; }
    bool IsVisible() const;
    void ShowBar(bool visible);

protected:
    CFrameWnd* m_pFrame = nullptr;
    DWORD m_dwDockStyle = 0;
};
