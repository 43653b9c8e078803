// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The main frame's toolbar: buttons from a toolbar resource, each bound to its command.

#include "framework/ccontrolbar.h"

#include <vector>

class CMDIFrameWnd;

class CToolBar : public CControlBar {
public:
    bool CreateEx(CFrameWnd* parent, DWORD controlStyle, DWORD style, RECT borders, UINT id);
    bool LoadToolBar(UINT resourceId);
    int GetButtonCount() const;
    UINT GetItemID(int index) const;

private:
    std::vector<UINT> m_buttons;
};
