// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/framework/testlistview.h"

BEGIN_MESSAGE_MAP(CTestListView, CListView)
    ON_NOTIFY_REFLECT(LVN_ITEMCHANGED, &CTestListView::OnItemChanged)
END_MESSAGE_MAP()

void CTestListView::OnItemChanged(NMHDR* header, LRESULT* result)
{
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
    m_changes.push_back(ItemChange{change->iItem, change->uNewState, change->uOldState});
    *result = 0;
}
