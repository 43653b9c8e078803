// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A document window that logs the commands it handles.

#include "framework/cmdichildwnd.h"

class CTestChildFrame : public CMDIChildWnd {
    DECLARE_DYNCREATE(CTestChildFrame)
public:
    CTestChildFrame() = default;

protected:
    void OnCommand(UINT id);

    DECLARE_MESSAGE_MAP()
};
