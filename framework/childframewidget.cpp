// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/childframewidget.h"

#include "framework/afxwork.h"
#include "framework/cmdichildwnd.h"

#include <QAction>
#include <QCloseEvent>
#include <QKeySequence>
#include <QMenu>
#include <QPointer>

CChildFrameWidget::CChildFrameWidget(CMDIChildWnd* frame, QWidget* parent) : QMdiSubWindow(parent), m_pFrame(frame)
{
    setAttribute(Qt::WA_DeleteOnClose);
    // Qt's Close of the window menu takes the platform's close keys, Ctrl+W on Linux desktops;
    // Ctrl+F4, the usual key of a document window, closes it too.
    const QKeySequence ctrlF4(Qt::CTRL | Qt::Key_F4);
    const QList<QKeySequence> closeKeys = QKeySequence::keyBindings(QKeySequence::Close);
    for (QAction* action : systemMenu() ? systemMenu()->actions() : QList<QAction*>()) {
        if (action->shortcuts() == closeKeys && !closeKeys.isEmpty()) {
            if (!closeKeys.contains(ctrlF4))
                action->setShortcuts(closeKeys + QList<QKeySequence>{ctrlF4});
            return;
        }
    }
    auto* close = new QAction(this);
    close->setShortcut(ctrlF4);
    connect(close, &QAction::triggered, this, &QWidget::close);
    addAction(close);
}

CChildFrameWidget::~CChildFrameWidget()
{
    if (CMDIChildWnd* frame = m_pFrame) {
        m_pFrame = nullptr;
        frame->OnWindowDestroyed();
    }
}

void CChildFrameWidget::closeEvent(QCloseEvent* event)
{
    if (AfxIsWorking()) {
        event->ignore();
        AfxRunWhenIdle([window = QPointer<CChildFrameWidget>(this)] {
            if (window)
                window->close();
        });
        return;
    }
    // Qt hands the activation on within its close: the frame is told before.
    if (m_pFrame)
        m_pFrame->OnWindowClosing(true);
    QMdiSubWindow::closeEvent(event);
    if (!event->isAccepted() && m_pFrame)
        m_pFrame->OnWindowClosing(false);
}
