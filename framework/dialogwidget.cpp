// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/dialogwidget.h"

#include "framework/afxguard.h"
#include "framework/afxres.h"
#include "framework/cdialog.h"

CDialogWidget::CDialogWidget(CDialog* dialog, QWidget* parent) : QDialog(parent), m_pDialog(dialog) {}

void CDialogWidget::reject()
{
    if (!m_pDialog) {
        QDialog::reject();
        return;
    }
    AfxRunGuarded([this] { m_pDialog->OnButtonClicked(IDCANCEL); });
}
