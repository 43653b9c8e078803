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
    void DefaultKeyPress(QKeyEvent* event) { QListView::keyPressEvent(event); }
    void keyboardSearch(const QString&) override {}

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void NotifyItemChanged(int item, unsigned newState, unsigned oldState);
    void OnSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    void OnCurrentChanged(const QModelIndex& current, const QModelIndex& previous);

    CView* m_pView;
    CListItemModel* m_pModel;
};
