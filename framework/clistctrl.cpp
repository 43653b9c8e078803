// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/clistctrl.h"

#include "framework/afxres.h"
#include "framework/cimagelist.h"
#include "framework/listitemmodel.h"
#include "framework/listviewwidget.h"

#include <QItemSelectionModel>

namespace {
constexpr int kLabelLines = 2;
}

int CListCtrl::GetItemCount() const
{
    return m_pWidget ? m_pWidget->itemModel()->rowCount() : 0;
}

bool CListCtrl::DeleteAllItems()
{
    if (!m_pWidget)
        return false;
    m_pWidget->itemModel()->DeleteAllItems();
    return true;
}

int CListCtrl::InsertItem(const LVITEM* item)
{
    if (!m_pWidget || !item)
        return -1;
    const QString text = (item->mask & LVIF_TEXT) ? item->pszText : QString();
    const int image = (item->mask & LVIF_IMAGE) ? item->iImage : -1;
    const int index = m_pWidget->itemModel()->InsertItem(item->iItem, text, image);
    if (item->mask & LVIF_STATE)
        SetItemState(index, item->state, item->stateMask);
    return index;
}

int CListCtrl::InsertItem(int index, const QString& text, int image)
{
    LVITEM item{LVIF_TEXT | LVIF_IMAGE, index, 0, 0, 0, text, image};
    return InsertItem(&item);
}

bool CListCtrl::DeleteItem(int index)
{
    return m_pWidget && m_pWidget->itemModel()->DeleteItem(index);
}

QString CListCtrl::GetItemText(int index, int /*subItem*/) const
{
    return m_pWidget ? m_pWidget->itemModel()->ItemText(index) : QString();
}

UINT CListCtrl::GetSelectedCount() const
{
    return m_pWidget ? UINT(m_pWidget->selectionModel()->selectedRows().size()) : 0;
}

int CListCtrl::GetNextItem(int start, UINT flags) const
{
    if (!m_pWidget)
        return -1;
    const int count = GetItemCount();
    const QItemSelectionModel* selection = m_pWidget->selectionModel();
    const QModelIndex current = selection->currentIndex();
    for (int i = std::max(start + 1, 0); i < count; ++i) {
        const QModelIndex index = m_pWidget->itemModel()->index(i);
        if ((flags & LVNI_SELECTED) && !selection->isSelected(index))
            continue;
        if ((flags & LVNI_FOCUSED) && index != current)
            continue;
        return i;
    }
    return -1;
}

bool CListCtrl::SetItemState(int index, UINT state, UINT mask)
{
    if (!m_pWidget || index < 0 || index >= GetItemCount())
        return false;
    QItemSelectionModel* selection = m_pWidget->selectionModel();
    const QModelIndex modelIndex = m_pWidget->itemModel()->index(index);
    if (mask & LVIS_SELECTED)
        m_pWidget->SelectRow(index, state & LVIS_SELECTED);
    if ((mask & LVIS_FOCUSED) && (state & LVIS_FOCUSED))
        selection->setCurrentIndex(modelIndex, QItemSelectionModel::NoUpdate);
    return true;
}

UINT CListCtrl::GetItemState(int index, UINT mask) const
{
    if (!m_pWidget || index < 0 || index >= GetItemCount())
        return 0;
    const QItemSelectionModel* selection = m_pWidget->selectionModel();
    const QModelIndex modelIndex = m_pWidget->itemModel()->index(index);
    UINT state = 0;
    if (selection->isSelected(modelIndex))
        state |= LVIS_SELECTED;
    if (selection->currentIndex() == modelIndex)
        state |= LVIS_FOCUSED;
    return state & mask;
}

CImageList* CListCtrl::SetImageList(CImageList* images, int /*which*/)
{
    CImageList* previous = m_pImageList;
    m_pImageList = images;
    if (!m_pWidget)
        return previous;
    m_pWidget->itemModel()->SetImageList(images ? images->GetData() : nullptr);
    const QSize cell = images ? images->GetCellSize() : QSize(32, 32);
    m_pWidget->setIconSize(cell);
    const int lineHeight = m_pWidget->fontMetrics().lineSpacing();
    m_pWidget->setGridSize(QSize(std::max(cell.width(), 64) + 16, cell.height() + kLabelLines * lineHeight + 12));
    return previous;
}

void CListCtrl::SetRedraw(bool redraw)
{
    if (!m_pWidget)
        return;
    m_pWidget->setUpdatesEnabled(redraw);
    if (redraw)
        m_pWidget->viewport()->update();
}
