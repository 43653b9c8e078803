// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/clistview.h"

#include "framework/afxres.h"
#include "framework/listviewwidget.h"

#include <QPalette>

IMPLEMENT_DYNAMIC(CListView, CView)

CListView::~CListView()
{
    if (CListViewWidget* widget = m_listCtrl.GetWidget(); widget && m_pWidget)
        widget->DetachView();
}

QWidget* CListView::CreateViewWidget(QWidget* parent, const CREATESTRUCT& cs)
{
    auto* widget = new CListViewWidget(this, parent);
    m_dwListStyle = cs.style;
    if (cs.style & LVS_SINGLESEL)
        widget->setSelectionMode(QAbstractItemView::SingleSelection);
    if (!(cs.style & LVS_SHOWSELALWAYS)) {
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Inactive, QPalette::Base));
        widget->setPalette(palette);
    }
    m_listCtrl = CListCtrl(widget);
    return widget;
}

void CListView::DefaultKeyHandling(QKeyEvent* event)
{
    if (CListViewWidget* widget = m_listCtrl.GetWidget(); widget && m_pWidget)
        widget->DefaultKeyPress(event);
}

void CListView::OnDraw(CDC* /*dc*/) {}
