// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/cchildframe.h"

#include "framework/cview.h"

IMPLEMENT_DYNCREATE(CChildFrame, CMDIChildWnd)

bool CChildFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    return CMDIChildWnd::PreCreateWindow(cs);
}
