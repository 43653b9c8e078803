// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The single-photo view: one photo scaled to the width of the window, decoded again on every
// paint, straight to the screen's pixels; it can be printed.

#include "framework/cview.h"
#include "platform/files/filestamp.h"

#include <QImage>

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

private:
    // Draw the photo on the screen or a printer; false when there is nothing to draw.
    bool ShowPhoto(CDC* dc, const QString& path, UINT W);
    bool PrintPhoto(CDC* dc, const QString& path, UINT W);

    // The last picture shown on screen, for the window's width W and its ratio.
    QImage m_Shown;
    QString m_ShownPath;
    FileStamp m_ShownStamp;
    UINT m_ShownWidth = 0;


    DECLARE_MESSAGE_MAP()
};
