// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A progress bar laid into another window (the status bar), driven by progress-bar messages.

#include "framework/cwnd.h"

class CProgressCtrl : public CWnd {
public:
    ~CProgressCtrl() override;
    bool Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    std::intptr_t SendMessage(UINT message, std::uintptr_t wParam, std::intptr_t lParam);
    int SetPos(int position);
    int GetPos() const;
    void GetRange(int& lower, int& upper) const;
};
