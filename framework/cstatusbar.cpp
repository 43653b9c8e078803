// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/cstatusbar.h"

#include "framework/afxres.h"
#include "framework/cframewnd.h"
#include "framework/keyboardlocks.h"
#include "framework/resources.h"

#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QStatusBar>
#include <QTimer>

#include <algorithm>

bool CStatusBar::Create(CFrameWnd* parent, DWORD style, UINT id)
{
    auto* window = parent ? qobject_cast<QMainWindow*>(parent->GetSafeWidget()) : nullptr;
    if (!window)
        return false;
    auto* bar = new QStatusBar(window);
    bar->setSizeGripEnabled(true);
    window->setStatusBar(bar);
    bar->setVisible(style & WS_VISIBLE);
    Attach(bar, false);
    m_pFrame = parent;
    parent->RegisterControlBar(id, this);
    return true;
}

bool CStatusBar::SetIndicators(const UINT* ids, int count)
{
    auto* bar = qobject_cast<QStatusBar*>(GetSafeWidget());
    if (!bar || count <= 0)
        return false;
    for (int i = 0; i < count; ++i) {
        auto* label = new QLabel(bar);
        label->setTextFormat(Qt::PlainText);
        label->setObjectName(QStringLiteral("pane%1").arg(i));
        if (ids[i] == ID_SEPARATOR) {
            label->setMinimumWidth(1);
            bar->addWidget(label, 1);
        } else {
            label->setFrameShape(QFrame::Panel);
            label->setFrameShadow(QFrame::Sunken);
            label->setAlignment(Qt::AlignCenter);
            label->setMinimumWidth(label->fontMetrics().horizontalAdvance(AfxLoadString(ids[i])) + 12);
            bar->addPermanentWidget(label);
        }
        m_panes.push_back(Pane{ids[i], label});
    }
    if (KeyboardLocksAvailable()) {
        m_pIndicatorTimer = new QTimer(bar);
        QObject::connect(m_pIndicatorTimer, &QTimer::timeout, [this] { RefreshIndicators(); });
        m_pIndicatorTimer->start(250);
    }
    RefreshIndicators();
    return true;
}

void CStatusBar::RefreshIndicators()
{
    const KeyboardLocks locks = ReadKeyboardLocks();
    for (const Pane& pane : m_panes) {
        bool on = false;
        if (pane.id == ID_INDICATOR_CAPS)
            on = locks.caps;
        else if (pane.id == ID_INDICATOR_NUM)
            on = locks.num;
        else if (pane.id == ID_INDICATOR_SCRL)
            on = locks.scroll;
        else
            continue;
        const QString text = on ? AfxLoadString(pane.id) : QString();
        if (pane.label->text() != text)
            pane.label->setText(text);
    }
}

bool CStatusBar::SetPaneText(int index, const QString& text, bool update)
{
    if (index < 0 || index >= int(m_panes.size()))
        return false;
    QLabel* label = m_panes[size_t(index)].label;
    label->setText(text);
    KeepTextUncovered(index);
    if (update && label->isVisible())
        label->repaint();
    return true;
}

int CStatusBar::GetTextRight(int index) const
{
    if (index < 0 || index >= int(m_panes.size()))
        return 0;
    const QLabel* label = m_panes[size_t(index)].label;
    const int left = label->geometry().left() + label->contentsRect().left() + label->margin() + std::max(label->indent(), 0);
    return left + label->fontMetrics().horizontalAdvance(label->text());
}

void CStatusBar::KeepTextUncovered(int index)
{
    QWidget* bar = GetSafeWidget();
    if (!bar || m_panes[size_t(index)].label->text().isEmpty())
        return;
    RECT pane;
    GetItemRect(index, &pane);
    const int textEnd = GetTextRight(index) + kTextGap;
    for (QProgressBar* control : bar->findChildren<QProgressBar*>(Qt::FindDirectChildrenOnly)) {
        QRect area = control->geometry();
        if (area.left() >= textEnd || area.left() < pane.left || area.left() >= pane.right)
            continue;
        area.setLeft(textEnd);
        control->setGeometry(area);
    }
}

QString CStatusBar::GetPaneText(int index) const
{
    return index >= 0 && index < int(m_panes.size()) ? m_panes[size_t(index)].label->text() : QString();
}

void CStatusBar::GetItemRect(int index, RECT* rect) const
{
    *rect = RECT{0, 0, 0, 0};
    if (index < 0 || index >= int(m_panes.size()))
        return;
    const QRect r = m_panes[size_t(index)].label->geometry();
    *rect = RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

UINT CStatusBar::GetItemID(int index) const
{
    return index >= 0 && index < int(m_panes.size()) ? m_panes[size_t(index)].id : 0;
}
