// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A view that records its initial updates, its painting, the keys it receives and the commands
// it handles.

#include "framework/cview.h"

#include <vector>

struct ReceivedKey {
    UINT nChar;
    bool ctrlDown;
};

class CTestView : public CView {
    DECLARE_DYNCREATE(CTestView)
public:
    CTestView() = default;

    void OnInitialUpdate() override;
    void OnDraw(CDC* dc) override;
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);

    int m_nInitialUpdates = 0;
    int m_nDraws = 0;
    bool m_bDrewWithPainter = false;
    std::vector<ReceivedKey> m_keys;

protected:
    void OnCommand(UINT id);
    void OnBadIndex();
    void OnUpdateGreyed(CCmdUI* ui);
    void OnUpdateChecked(CCmdUI* ui);

    DECLARE_MESSAGE_MAP()
};

// The test view of the document window that is active in the main frame, or null.
CTestView* ActiveTestView();
