// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The window of a template dialog: Escape and the close box go to the dialog's Cancel handling.

#include <QDialog>

class CDialog;

class CDialogWidget : public QDialog {
public:
    CDialogWidget(CDialog* dialog, QWidget* parent);
    void reject() override;
    void DetachDialog() { m_pDialog = nullptr; }

private:
    CDialog* m_pDialog;
};
