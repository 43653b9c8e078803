// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/listviewwidget.h"

#include "framework/afxres.h"
#include "framework/clistctrl.h"
#include "framework/cview.h"
#include "framework/listitemmodel.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

namespace {
std::vector<int> SortedRows(const QItemSelection& selection)
{
    std::vector<int> rows;
    for (const QModelIndex& index : selection.indexes())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

bool MovesTheCurrentItem(int key)
{
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: return true;
    default: return false;
    }
}
} // namespace

CListViewWidget::CListViewWidget(CView* view, QWidget* parent)
    : QListView(parent), m_pView(view), m_pModel(new CListItemModel(this))
{
    setModel(m_pModel);
    setViewMode(QListView::IconMode);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setWordWrap(true);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideMiddle);
    setSpacing(6);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &CListViewWidget::OnSelectionChanged);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, &CListViewWidget::OnCurrentChanged);
    // Rows that move end a run of rows selected one by one.
    auto endRun = [this] { m_nRunFirst = m_nRunLast = -1; };
    connect(m_pModel, &QAbstractItemModel::rowsInserted, this, endRun);
    connect(m_pModel, &QAbstractItemModel::rowsRemoved, this, endRun);
    connect(m_pModel, &QAbstractItemModel::modelReset, this, endRun);
}

bool CListViewWidget::event(QEvent* event)
{
    const bool handled = QListView::event(event);
    bool ratioMayChange = event->type() == QEvent::ScreenChangeInternal;
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
    ratioMayChange = ratioMayChange || event->type() == QEvent::DevicePixelRatioChange;
#endif
    if (ratioMayChange && m_pView)
        m_pView->OnDpiChanged();
    return handled;
}

void CListViewWidget::keyPressEvent(QKeyEvent* event)
{
    if (m_pView)
        m_pView->DispatchKeyDown(event);
    else
        QListView::keyPressEvent(event);
}

void CListViewWidget::DefaultKeyPress(QKeyEvent* event)
{
    QListView::keyPressEvent(event);
    if (!MovesTheCurrentItem(event->key()) || (event->modifiers() & Qt::ControlModifier))
        return;
    const QModelIndex current = currentIndex();
    if (!current.isValid() || selectionModel()->isSelected(current))
        return;
    // The key moved nothing (the current item was already where it leads), so the list did not
    // select it: select it as a move would have.
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    selectionModel()->select(current, extend ? QItemSelectionModel::Select : QItemSelectionModel::ClearAndSelect);
}

void CListViewWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    QListView::mouseDoubleClickEvent(event);
    if (!m_pView || event->button() != Qt::LeftButton)
        return;
    const QModelIndex index = indexAt(event->position().toPoint());
    NMITEMACTIVATE activate{};
    activate.hdr.code = NM_DBLCLK;
    activate.iItem = index.isValid() ? index.row() : -1;
    activate.ptAction = POINT{LONG(event->position().x()), LONG(event->position().y())};
    m_pView->DispatchNotify(NM_DBLCLK, &activate.hdr);
}

void CListViewWidget::NotifyItemChanged(int item, unsigned newState, unsigned oldState)
{
    if (!m_pView)
        return;
    NMLISTVIEW change{};
    change.hdr.code = LVN_ITEMCHANGED;
    change.iItem = item;
    change.uNewState = newState;
    change.uOldState = oldState;
    change.uChanged = LVIF_STATE;
    m_pView->DispatchNotify(LVN_ITEMCHANGED, &change.hdr);
}

void CListViewWidget::SelectRow(int row, bool select)
{
    QItemSelectionModel* selection = selectionModel();
    const QModelIndex index = m_pModel->index(row);
    m_bSelectingRow = true;
    if (select && m_nRunFirst >= 0 && row == m_nRunLast + 1) {
        // The run is the selection model's current selection (a plain select starts a new one),
        // replaced by the grown run each time.
        selection->select(QItemSelection(m_pModel->index(m_nRunFirst), index),
                          QItemSelectionModel::Select | QItemSelectionModel::Current);
        m_nRunLast = row;
    } else {
        selection->select(index, select ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
        m_nRunFirst = m_nRunLast = select ? row : -1;
    }
    m_bSelectingRow = false;
}

void CListViewWidget::OnSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    if (!m_bSelectingRow)
        m_nRunFirst = m_nRunLast = -1; // someone else changed the selection: the run ends
    for (int row : SortedRows(deselected))
        NotifyItemChanged(row, 0, LVIS_SELECTED);
    for (int row : SortedRows(selected))
        NotifyItemChanged(row, LVIS_SELECTED, 0);
}

void CListViewWidget::OnCurrentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    if (previous.isValid())
        NotifyItemChanged(previous.row(), 0, LVIS_FOCUSED);
    if (current.isValid())
        NotifyItemChanged(current.row(), LVIS_FOCUSED, 0);
}
