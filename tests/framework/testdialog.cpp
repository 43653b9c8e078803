// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/framework/testdialog.h"

#include "tests/framework/testresources.h"

bool CTestDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_name.SetWindowText(QStringLiteral("initial"));
    return true;
}

void CTestDialog::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_TEST_NAME, m_name);
    DDX_Control(dx, IDC_TEST_COUNT, m_count);
}

void CTestDialog::OnOK()
{
    ++m_nOkCalls;
    m_strNameOnOk = m_name.GetWindowText();
    CDialog::OnOK();
}
