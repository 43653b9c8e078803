// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The single-photo view: one photo scaled to the width of the window, decoded again on every
// paint; it can be printed.

#include "framework/cview.h"

#include <QString>

class CStrevioView : public CView {
    DECLARE_DYNCREATE(CStrevioView)
public:
    CStrevioView();

    bool PreCreateWindow(CREATESTRUCT& cs) override;
    void OnInitialUpdate() override;
    void OnDraw(CDC* dc) override;
    void DrawPhoto(CDC* dc, QString path);

    bool OnPreparePrinting(CPrintInfo* info) override;
    void OnBeginPrinting(CDC* dc, CPrintInfo* info) override;
    void OnEndPrinting(CDC* dc, CPrintInfo* info) override;

    QString m_PhotoPath;

    DECLARE_MESSAGE_MAP()
};
