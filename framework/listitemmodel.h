// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The items of a list control: a label and an image index each, served to a QListView with the
// image list's cells as icons.

#include "framework/cimagelist.h"

#include <QAbstractListModel>
#include <QPixmap>

#include <memory>
#include <vector>

class CListItemModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    int InsertItem(int index, const QString& text, int image);
    bool DeleteItem(int index);
    void DeleteAllItems();
    QString ItemText(int index) const;
    void SetImageList(std::shared_ptr<const CImageListData> images);

private:
    QPixmap CellPixmap(int image) const;

    struct Item {
        QString text;
        int image;
    };
    std::vector<Item> m_items;
    std::shared_ptr<const CImageListData> m_images;
};
