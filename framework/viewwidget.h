// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The window of a plain view: paints through the view's OnDraw and hands keys to the view.

#include <QWidget>

class CView;

class CViewWidget : public QWidget {
public:
    CViewWidget(CView* view, QWidget* parent);
    void DetachView() { m_pView = nullptr; }
    void DefaultKeyPress(QKeyEvent* event) { QWidget::keyPressEvent(event); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    CView* m_pView;
};
