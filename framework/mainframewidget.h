// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The window of the main frame: forwards closing and status tips to the frame object.

#include <QMainWindow>

class CMDIFrameWnd;

class CMainFrameWidget : public QMainWindow {
public:
    explicit CMainFrameWidget(CMDIFrameWnd* frame);
    void DetachFrame() { m_pFrame = nullptr; }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    CMDIFrameWnd* m_pFrame;
};
