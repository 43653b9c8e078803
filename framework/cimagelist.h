// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A list of same-sized images that a list view shows as its items' icons. Each image sits in a
// cell of the list's size; a bitmap of another size is scaled to fit the cell, whole and centred.
// The cell size is in the window's logical pixels; the images hold the cell at the screen's pixels
// (the cell size times the device pixel ratio), marked with that ratio, so that they are drawn
// without further scaling.

#include "platform/gdi/gdi.h"

#include <QColor>
#include <QImage>
#include <QSize>

#include <memory>
#include <vector>

struct CImageListData {
    QSize cellSize;               // logical pixels
    qreal devicePixelRatio = 1.0; // of the images
    QColor background;
    std::vector<QImage> images; // a null image is an empty cell
};

class CImageList {
public:
    CImageList() = default;
    ~CImageList() { DeleteImageList(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    bool Create(int cx, int cy, UINT flags, int initial, int grow, qreal devicePixelRatio = 1.0);
    bool DeleteImageList();
    bool SetImageCount(UINT count);
    int GetImageCount() const;
    // Copies `bitmap` into cell `index`; the mask is not used by 24-bit lists.
    bool Replace(int index, HBITMAP bitmap, HBITMAP mask);
    // Puts `picture` into cell `index`, centred; one that does not fit the cell's device pixels
    // whole is resized to fit in one step first. A picture made at the fitted size is copied as
    // it is.
    bool ReplacePicture(int index, const QImage& picture);
    // Takes the image of cell `sourceIndex` of another list with cells of the same size.
    bool CopyCell(int index, const CImageListData& source, int sourceIndex);
    QSize GetCellSize() const;
    qreal GetDevicePixelRatio() const { return m_pData ? m_pData->devicePixelRatio : 1.0; }
    // The cell in device pixels: each side times the ratio, rounded, at least 1.
    QSize GetDeviceCellSize() const;
    static QSize DeviceCellSize(const QSize& cell, qreal devicePixelRatio);
    const void* GetSafeHandle() const { return m_pData.get(); }

    std::shared_ptr<const CImageListData> GetData() const { return m_pData; }

private:
    std::shared_ptr<CImageListData> m_pData;
};
