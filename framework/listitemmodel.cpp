// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/listitemmodel.h"

int CListItemModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

QVariant CListItemModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_items.size()))
        return {};
    const Item& item = m_items[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: return item.text;
    case Qt::DecorationRole: return CellPixmap(item.image);
    default: return {};
    }
}

Qt::ItemFlags CListItemModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled : Qt::NoItemFlags;
}

QPixmap CListItemModel::CellPixmap(int image) const
{
    if (!m_images || m_images->cellSize.isEmpty())
        return {};
    if (image >= 0 && image < int(m_images->images.size()) && !m_images->images[size_t(image)].isNull())
        return QPixmap::fromImage(m_images->images[size_t(image)]);
    QPixmap empty(CImageList::DeviceCellSize(m_images->cellSize, m_images->devicePixelRatio));
    empty.setDevicePixelRatio(m_images->devicePixelRatio);
    empty.fill(Qt::transparent);
    return empty;
}

int CListItemModel::InsertItem(int index, const QString& text, int image)
{
    index = std::clamp(index, 0, int(m_items.size()));
    beginInsertRows(QModelIndex(), index, index);
    m_items.insert(m_items.begin() + index, Item{text, image});
    endInsertRows();
    return index;
}

bool CListItemModel::DeleteItem(int index)
{
    if (index < 0 || index >= int(m_items.size()))
        return false;
    beginRemoveRows(QModelIndex(), index, index);
    m_items.erase(m_items.begin() + index);
    endRemoveRows();
    return true;
}

void CListItemModel::DeleteAllItems()
{
    beginResetModel();
    m_items.clear();
    endResetModel();
}

QString CListItemModel::ItemText(int index) const
{
    return index >= 0 && index < int(m_items.size()) ? m_items[size_t(index)].text : QString();
}

void CListItemModel::SetImageList(std::shared_ptr<const CImageListData> images)
{
    m_images = std::move(images);
    if (!m_items.empty())
        emit dataChanged(this->index(0), this->index(int(m_items.size()) - 1), {Qt::DecorationRole});
}
