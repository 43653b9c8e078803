// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/childframewidget.h"

#include "framework/afxwork.h"
#include "framework/cmdichildwnd.h"

#include <QCloseEvent>
#include <QPointer>

CChildFrameWidget::CChildFrameWidget(CMDIChildWnd* frame, QWidget* parent) : QMdiSubWindow(parent), m_pFrame(frame)
{
    setAttribute(Qt::WA_DeleteOnClose);
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
    QMdiSubWindow::closeEvent(event);
}
