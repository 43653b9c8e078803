// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The About box.

#include "framework/cdialog.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();
};
