// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/cprogressctrl.h"

#include "framework/afxres.h"

#include <QProgressBar>

CProgressCtrl::~CProgressCtrl()
{
    if (HasWindow())
        DestroyWindow();
}

bool CProgressCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT /*id*/)
{
    QWidget* parentWidget = parent ? parent->GetSafeWidget() : nullptr;
    if (!parentWidget)
        return false;
    auto* bar = new QProgressBar(parentWidget);
    bar->setObjectName(QStringLiteral("progress"));
    bar->setTextVisible(false);
    bar->setRange(0, 100);
    bar->setValue(0); // a new bar stands at 0, not at Qt's "no value" below the range
    bar->setGeometry(QRect(QPoint(rect.left, rect.top), QPoint(rect.right - 1, rect.bottom - 1)));
    bar->setVisible(style & WS_VISIBLE);
    Attach(bar, false);
    return true;
}

std::intptr_t CProgressCtrl::SendMessage(UINT message, std::uintptr_t wParam, std::intptr_t lParam)
{
    auto* bar = qobject_cast<QProgressBar*>(GetSafeWidget());
    if (!bar)
        return 0;
    switch (message) {
    case PBM_SETRANGE: {
        const int previous = (bar->minimum() & 0xFFFF) | (bar->maximum() << 16);
        bar->setRange(int(lParam & 0xFFFF), int((lParam >> 16) & 0xFFFF));
        return previous;
    }
    case PBM_SETPOS: {
        const int previous = bar->value();
        bar->setValue(int(wParam));
        return previous;
    }
    case PBM_SETSTEP: return 1;
    default: return 0;
    }
}

int CProgressCtrl::SetPos(int position)
{
    return int(SendMessage(PBM_SETPOS, std::uintptr_t(position), 0));
}

int CProgressCtrl::GetPos() const
{
    auto* bar = qobject_cast<QProgressBar*>(GetSafeWidget());
    return bar ? bar->value() : 0;
}

void CProgressCtrl::GetRange(int& lower, int& upper) const
{
    auto* bar = qobject_cast<QProgressBar*>(GetSafeWidget());
    lower = bar ? bar->minimum() : 0;
    upper = bar ? bar->maximum() : 0;
}
