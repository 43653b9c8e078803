// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/viewwidget.h"

#include "framework/cview.h"

#include <QKeyEvent>
#include <QPainter>

CViewWidget::CViewWidget(CView* view, QWidget* parent) : QWidget(parent), m_pView(view)
{
    setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
}

void CViewWidget::paintEvent(QPaintEvent* /*event*/)
{
    if (!m_pView)
        return;
    QPainter painter(this);
    m_pView->PaintWith(&painter);
}

void CViewWidget::keyPressEvent(QKeyEvent* event)
{
    if (m_pView)
        m_pView->DispatchKeyDown(event);
    else
        QWidget::keyPressEvent(event);
}
