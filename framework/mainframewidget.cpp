// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/mainframewidget.h"

#include "framework/afxres.h"
#include "framework/afxwork.h"
#include "framework/cmdiframewnd.h"
#include "framework/resources.h"

#include <QCloseEvent>
#include <QPointer>
#include <QStatusTipEvent>

CMainFrameWidget::CMainFrameWidget(CMDIFrameWnd* frame) : m_pFrame(frame) {}

bool CMainFrameWidget::event(QEvent* event)
{
    if (event->type() == QEvent::StatusTip && m_pFrame) {
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        m_pFrame->SetMessageText(tip.isEmpty() ? AfxLoadString(AFX_IDS_IDLEMESSAGE) : tip);
        return true;
    }
    return QMainWindow::event(event);
}

void CMainFrameWidget::closeEvent(QCloseEvent* event)
{
    if (AfxIsWorking()) {
        event->ignore();
        AfxRunWhenIdle([window = QPointer<CMainFrameWidget>(this)] {
            if (window)
                window->close();
        });
        return;
    }
    if (m_pFrame)
        m_pFrame->OnCloseRequest();
    event->accept();
}
