// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A view whose window is a list-view control.

#include "framework/clistctrl.h"
#include "framework/cview.h"

class CListView : public CView {
    DECLARE_DYNAMIC(CListView)
public:
    ~CListView() override;
    CListCtrl& GetListCtrl() { return m_listCtrl; }
    void OnDraw(CDC* dc) override;

protected:
    CListView() = default;
    QWidget* CreateViewWidget(QWidget* parent, const CREATESTRUCT& cs) override;
    void DefaultKeyHandling(QKeyEvent* event) override;

    DWORD m_dwListStyle = 0;

private:
    CListCtrl m_listCtrl;
};
