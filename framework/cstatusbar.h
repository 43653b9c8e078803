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
    bool Create(CFrameWnd* parent, DWORD style, UINT id);
    bool SetIndicators(const UINT* ids, int count);
    bool SetPaneText(int index, const QString& text, bool update = true);
    QString GetPaneText(int index) const;
    void GetItemRect(int index, RECT* rect) const;
    int GetCount() const { return int(m_panes.size()); }
    UINT GetItemID(int index) const;

private:
    void RefreshIndicators();

    struct Pane {
        UINT id;
        QLabel* label;
    };
    std::vector<Pane> m_panes;
    QTimer* m_pIndicatorTimer = nullptr;
};
