// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/caboutdlg.h"

#include "res/resource.h"

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}
