// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The status bar: a message pane that stretches, then indicator panes (CAP, NUM, SCRL) that show
// their text while the lock key is on.

#include "framework/ccontrolbar.h"

#include <QString>

#include <vector>

class QLabel;
class QTimer;

class CStatusBar : public CControlBar {
public:
    // Pixels kept clear between a pane's text and a control laid over the pane.
    static constexpr int kTextGap = 3;

    bool Create(CFrameWnd* parent, DWORD style, UINT id);
    bool SetIndicators(const UINT* ids, int count);
    bool SetPaneText(int index, const QString& text, bool update = true);
    QString GetPaneText(int index) const;
    void GetItemRect(int index, RECT* rect) const;
    // Where the pane's text ends, in the status bar's coordinates, as its font draws it.
    int GetTextRight(int index) const;
    int GetCount() const { return int(m_panes.size()); }
    UINT GetItemID(int index) const;

private:
    void RefreshIndicators();
    // A control laid over the pane (a progress bar) starts after the pane's text.
    void KeepTextUncovered(int index);

    struct Pane {
        UINT id;
        QLabel* label;
    };
    std::vector<Pane> m_panes;
    QTimer* m_pIndicatorTimer = nullptr;
};
