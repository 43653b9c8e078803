// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/cworkinputfilter.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QWidget>

namespace {

// A scroll bar, or a document window's own frame (its title bar and edges, where it is moved,
// resized and closed), takes the mouse during work.
bool TakesTheMouseDuringWork(QObject* watched)
{
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget)
        return false;
    return qobject_cast<QScrollBar*>(widget) || qobject_cast<QMdiSubWindow*>(widget);
}

} // namespace

void CWorkInputFilter::ReleaseDeferredKeys()
{
    for (auto& [receiver, event] : std::exchange(m_deferred, {}))
        if (receiver)
            QCoreApplication::postEvent(receiver, event.release());
}

bool CWorkInputFilter::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Claimed, so that no shortcut runs its command now; the key itself is held back below.
        event->accept();
        return true;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            m_stopRequested = m_stopRequested || event->type() == QEvent::KeyPress;
            return true;
        }
        m_deferred.emplace_back(watched, static_cast<QKeyEvent*>(event)->clone());
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        return !TakesTheMouseDuringWork(watched);
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::Drop:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::InputMethod:
        return true;
    default:
        return false;
    }
}
