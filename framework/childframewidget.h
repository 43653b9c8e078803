// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The window of a document frame. It owns the frame object, which goes with the window.
// Ctrl+F4 closes it, as Ctrl+W (Qt's own close shortcut of a subwindow) does.

#include <QMdiSubWindow>

class CMDIChildWnd;

class CChildFrameWidget : public QMdiSubWindow {
public:
    CChildFrameWidget(CMDIChildWnd* frame, QWidget* parent);
    ~CChildFrameWidget() override;
    CMDIChildWnd* GetFrame() const { return m_pFrame; }
    void ReleaseFrame() { m_pFrame = nullptr; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CMDIChildWnd* m_pFrame;
};
