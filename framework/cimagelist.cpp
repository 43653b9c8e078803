// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/cimagelist.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

bool CImageList::Create(int cx, int cy, UINT /*flags*/, int initial, int /*grow*/)
{
    if (cx <= 0 || cy <= 0 || initial < 0)
        return false;
    m_pData = std::make_shared<CImageListData>();
    m_pData->cellSize = QSize(cx, cy);
    m_pData->background = QGuiApplication::palette().color(QPalette::Base);
    m_pData->images.reserve(size_t(initial));
    return true;
}

bool CImageList::DeleteImageList()
{
    const bool had = m_pData != nullptr;
    m_pData.reset();
    return had;
}

bool CImageList::SetImageCount(UINT count)
{
    if (!m_pData)
        return false;
    m_pData->images.resize(count);
    return true;
}

int CImageList::GetImageCount() const
{
    return m_pData ? int(m_pData->images.size()) : 0;
}

QSize CImageList::GetCellSize() const
{
    return m_pData ? m_pData->cellSize : QSize();
}

bool CImageList::Replace(int index, HBITMAP bitmap, HBITMAP /*mask*/)
{
    if (!m_pData || index < 0 || index >= GetImageCount() || !bitmap)
        return false;
    const QImage source = GdiBitmapToImage(bitmap);
    if (source.isNull() || source.width() <= 0 || source.height() <= 0)
        return false;
    const QSize cell = m_pData->cellSize;
    QImage image(cell, QImage::Format_RGB888);
    image.fill(m_pData->background);
    const QSize fitted = source.size().scaled(cell, Qt::KeepAspectRatio);
    const QRect target(QPoint((cell.width() - fitted.width()) / 2, (cell.height() - fitted.height()) / 2), fitted);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, source);
    painter.end();
    m_pData->images[size_t(index)] = std::move(image);
    return true;
}

bool CImageList::CopyCell(int index, const CImageListData& source, int sourceIndex)
{
    if (!m_pData || index < 0 || index >= GetImageCount() || source.cellSize != m_pData->cellSize || sourceIndex < 0
        || sourceIndex >= int(source.images.size()))
        return false;
    m_pData->images[size_t(index)] = source.images[size_t(sourceIndex)];
    return true;
}
