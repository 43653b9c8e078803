// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A list view on its own (no frame) that records the item-changed notifications it receives.

#include "framework/clistview.h"

#include <vector>

struct ItemChange {
    int item;
    UINT newState;
    UINT oldState;
};

class CTestListView : public CListView {
public:
    CTestListView() = default;

    std::vector<ItemChange> m_changes;

protected:
    void OnItemChanged(NMHDR* header, LRESULT* result);

    DECLARE_MESSAGE_MAP()
};
