// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The start page: a built-in welcome page in a document window of its own.

#include "framework/cview.h"

class CHtmlView_ : public CView {
    DECLARE_DYNCREATE(CHtmlView_)
public:
    CHtmlView_() = default;
    void OnDraw(CDC* dc) override;

protected:
    QWidget* CreateViewWidget(QWidget* parent, const CREATESTRUCT& cs) override;
};
