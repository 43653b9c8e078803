#include "framework/childframewidget.h"

#include "framework/cmdichildwnd.h"

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
