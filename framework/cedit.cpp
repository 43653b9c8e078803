// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/cedit.h"

#include <QLineEdit>

void CEdit::SetSel(int start, int end)
{
    if (auto* edit = qobject_cast<QLineEdit*>(GetSafeWidget())) {
        if (end < 0)
            edit->selectAll();
        else
            edit->setSelection(start, end - start);
    }
}
