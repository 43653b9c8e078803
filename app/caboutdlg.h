#pragma once
// The About box.

#include "framework/cdialog.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();
};
