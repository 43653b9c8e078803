// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A list of same-sized images that a list view shows as its items' icons. Each image sits in a
// cell of the list's size; a bitmap of another size is scaled to fit the cell, whole and centred.

#include "platform/gdi/gdi.h"

#include <QColor>
#include <QImage>
#include <QSize>

#include <memory>
#include <vector>

struct CImageListData {
    QSize cellSize;
    QColor background;
    std::vector<QImage> images; // a null image is an empty cell
};

class CImageList {
public:
    CImageList() = default;
    ~CImageList() { DeleteImageList(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    bool Create(int cx, int cy, UINT flags, int initial, int grow);
    bool DeleteImageList();
    bool SetImageCount(UINT count);
    int GetImageCount() const;
    // Copies `bitmap` into cell `index`; the mask is not used by 24-bit lists.
    bool Replace(int index, HBITMAP bitmap, HBITMAP mask);
    // Takes the image of cell `sourceIndex` of another list with cells of the same size.
    bool CopyCell(int index, const CImageListData& source, int sourceIndex);
    QSize GetCellSize() const;
    const void* GetSafeHandle() const { return m_pData.get(); }

    std::shared_ptr<const CImageListData> GetData() const { return m_pData; }

private:
    std::shared_ptr<CImageListData> m_pData;
};
