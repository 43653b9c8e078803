// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The window of a list view: an icon-mode QListView with multiple selection that hands keys,
// double-clicks and item-state changes to its view as notifications.

#include <QListView>

class CView;
class CListItemModel;

class CListViewWidget : public QListView {
public:
    CListViewWidget(CView* view, QWidget* parent);
    void DetachView() { m_pView = nullptr; }
    CListItemModel* itemModel() const { return m_pModel; }
    // The list's own keys. A key that moves the current item (arrows, Home, End, PgUp, PgDn)
    // without Ctrl selects the item it lands on, even when that item already was current but not
    // selected, as on a fresh list whose focus frame sits on the first item.
    void DefaultKeyPress(QKeyEvent* event);
    void keyboardSearch(const QString&) override {}

    // Selects or deselects one row, notifying as any change does. Rows selected one after the
    // other in ascending order grow one range instead of adding a range each, so selecting every
    // item of a long list one by one stays linear.
    void SelectRow(int row, bool select);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void NotifyItemChanged(int item, unsigned newState, unsigned oldState);
    void OnSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    void OnCurrentChanged(const QModelIndex& current, const QModelIndex& previous);

    CView* m_pView;
    CListItemModel* m_pModel;
    int m_nRunFirst = -1; // the run of rows selected one by one: [first, last]
    int m_nRunLast = -1;
    bool m_bSelectingRow = false;
};
