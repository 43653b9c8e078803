// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/cwaitcursor.h"

#include <QCursor>
#include <QGuiApplication>

void AfxBeginWaitCursor()
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

void AfxEndWaitCursor()
{
    if (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}
