// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/cwnd.h"

#include "framework/afxres.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

CWnd::~CWnd()
{
    if (m_bOwnsWidget && m_pWidget)
        delete m_pWidget.data();
}

void CWnd::Attach(QWidget* widget, bool owns)
{
    m_pWidget = widget;
    m_bOwnsWidget = owns;
}

void CWnd::SetWindowText(const QString& text)
{
    QWidget* w = m_pWidget.data();
    if (!w)
        return;
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        edit->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(w))
        button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(w))
        label->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(w))
        group->setTitle(text);
    else
        w->setWindowTitle(text);
}

QString CWnd::GetWindowText() const
{
    QWidget* w = m_pWidget.data();
    if (!w)
        return QString();
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        return edit->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return button->text();
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text();
    if (auto* group = qobject_cast<QGroupBox*>(w))
        return group->title();
    return w->windowTitle();
}

void CWnd::GetWindowRect(RECT* rect) const
{
    *rect = RECT{0, 0, 0, 0};
    if (!m_pWidget)
        return;
    const QRect frame = m_pWidget->frameGeometry();
    const QPoint topLeft = m_pWidget->isWindow() ? frame.topLeft()
                                                 : m_pWidget->parentWidget()->mapToGlobal(frame.topLeft());
    *rect = RECT{topLeft.x(), topLeft.y(), topLeft.x() + frame.width(), topLeft.y() + frame.height()};
}

void CWnd::GetClientRect(RECT* rect) const
{
    *rect = RECT{0, 0, 0, 0};
    if (m_pWidget)
        *rect = RECT{0, 0, m_pWidget->width(), m_pWidget->height()};
}

void CWnd::Invalidate(bool /*erase*/)
{
    if (m_pWidget)
        m_pWidget->update();
}

void CWnd::UpdateWindow()
{
    if (m_pWidget && m_pWidget->isVisible())
        m_pWidget->repaint();
}

bool CWnd::RedrawWindow(UINT flags)
{
    if (!m_pWidget)
        return false;
    if (flags & RDW_UPDATENOW)
        m_pWidget->repaint();
    else if (flags & RDW_INVALIDATE)
        m_pWidget->update();
    return true;
}

bool CWnd::DestroyWindow()
{
    if (!m_pWidget)
        return false;
    QWidget* widget = m_pWidget.data();
    m_pWidget.clear();
    m_bOwnsWidget = false;
    widget->hide();
    delete widget;
    return true;
}
