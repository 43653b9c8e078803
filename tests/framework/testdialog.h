// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A dialog on the test template whose two edits are attached through data exchange.

#include "framework/cdialog.h"
#include "framework/cedit.h"

class CTestDialog : public CDialog {
public:
    explicit CTestDialog(UINT templateId, CWnd* parent = nullptr) : CDialog(templateId, parent) {}

    bool OnInitDialog() override;

    CEdit m_name;
    CEdit m_count;
    QString m_strNameOnOk;
    int m_nOkCalls = 0;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;
};
