// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The list-view control of a list view: items with labels and image indices in an icon-mode list
// with multiple selection.

#include "framework/ccmdtarget.h"

#include <QString>

class CImageList;
class CListViewWidget;

struct POINT {
    LONG x;
    LONG y;
};

struct NMITEMACTIVATE {
    NMHDR hdr;
    int iItem;
    int iSubItem;
    UINT uNewState;
    UINT uOldState;
    UINT uChanged;
    POINT ptAction;
    std::intptr_t lParam;
    UINT uKeyFlags;
};

struct NMLISTVIEW {
    NMHDR hdr;
    int iItem;
    int iSubItem;
    UINT uNewState;
    UINT uOldState;
    UINT uChanged;
    POINT ptAction;
    std::intptr_t lParam;
};

struct LVITEM {
    UINT mask;
    int iItem;
    int iSubItem;
    UINT state;
    UINT stateMask;
    QString pszText;
    int iImage;
};

class CListCtrl {
public:
    explicit CListCtrl(CListViewWidget* widget = nullptr) : m_pWidget(widget) {}

    int GetItemCount() const;
    bool DeleteAllItems();
    int InsertItem(const LVITEM* item);
    int InsertItem(int index, const QString& text, int image);
    bool DeleteItem(int index);
    QString GetItemText(int index, int subItem) const;
    UINT GetSelectedCount() const;
    int GetNextItem(int start, UINT flags) const;
    bool SetItemState(int index, UINT state, UINT mask);
    UINT GetItemState(int index, UINT mask) const;
    CImageList* SetImageList(CImageList* images, int which);
    void SetRedraw(bool redraw);
    CListViewWidget* GetWidget() const { return m_pWidget; }

private:
    CListViewWidget* m_pWidget;
    CImageList* m_pImageList = nullptr;
};
