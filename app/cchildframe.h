// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The frame of every document window.

#include "framework/cmdichildwnd.h"

class CChildFrame : public CMDIChildWnd {
    DECLARE_DYNCREATE(CChildFrame)
public:
    CChildFrame() = default;
    bool PreCreateWindow(CREATESTRUCT& cs) override;
};
