// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/cacceleratorfilter.h"

#include "framework/cmdiframewnd.h"
#include "framework/resources.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

CAcceleratorFilter::CAcceleratorFilter(CMDIFrameWnd* frame, UINT tableId) : m_pFrame(frame), m_nTableId(tableId) {}

UINT CAcceleratorFilter::Lookup(int key, Qt::KeyboardModifiers modifiers) const
{
    const auto& tables = CResources::Instance().accelerators;
    auto it = tables.find(m_nTableId);
    if (it == tables.end())
        return 0;
    const Qt::KeyboardModifiers relevant = modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    for (const AcceleratorResource& entry : it->second)
        if (entry.key == key && entry.modifiers == relevant)
            return entry.id;
    return 0;
}

bool CAcceleratorFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    QWidget* frameWidget = m_pFrame->GetSafeWidget();
    if (!widget || !frameWidget || widget->window() != frameWidget || QApplication::activeModalWidget()
        || QApplication::activePopupWidget())
        return false;
    auto* keyEvent = static_cast<QKeyEvent*>(event);
    int key = keyEvent->key();
    if (key == Qt::Key_Backtab)
        key = Qt::Key_Tab;
    const UINT id = Lookup(key, keyEvent->modifiers());
    if (!id)
        return false;
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept(); // keeps Qt's own shortcuts off this combination
        return false;
    }
    m_pFrame->ExecuteCommand(id);
    return true;
}
