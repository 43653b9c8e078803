// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// An edit control of a dialog.

#include "framework/cwnd.h"

class CEdit : public CWnd {
public:
    void SetSel(int start, int end);
};
