// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/cimagelist.h"

#include "imaging/imageresampler.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

bool CImageList::Create(int cx, int cy, UINT /*flags*/, int initial, int /*grow*/, qreal devicePixelRatio)
{
    if (cx <= 0 || cy <= 0 || initial < 0 || !(devicePixelRatio > 0))
        return false;
    m_pData = std::make_shared<CImageListData>();
    m_pData->cellSize = QSize(cx, cy);
    m_pData->devicePixelRatio = devicePixelRatio;
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

QSize CImageList::GetDeviceCellSize() const
{
    return m_pData ? DeviceCellSize(m_pData->cellSize, m_pData->devicePixelRatio) : QSize();
}

QSize CImageList::DeviceCellSize(const QSize& cell, qreal devicePixelRatio)
{
    return QSize(std::max(1, qRound(cell.width() * devicePixelRatio)), std::max(1, qRound(cell.height() * devicePixelRatio)));
}

bool CImageList::Replace(int index, HBITMAP bitmap, HBITMAP /*mask*/)
{
    if (!m_pData || index < 0 || index >= GetImageCount() || !bitmap)
        return false;
    return ReplacePicture(index, GdiBitmapToImage(bitmap));
}

bool CImageList::ReplacePicture(int index, const QImage& picture)
{
    if (!m_pData || index < 0 || index >= GetImageCount() || picture.isNull() || picture.width() <= 0
        || picture.height() <= 0)
        return false;
    const QSize cell = GetDeviceCellSize();
    const QSize fitted = picture.size().scaled(cell, Qt::KeepAspectRatio);
    const bool fits = picture.width() <= cell.width() && picture.height() <= cell.height()
                   && (picture.width() == fitted.width() || picture.height() == fitted.height());
    const QImage shown = fits ? picture : ImageResampler::scaled(picture, fitted);
    if (shown.isNull())
        return false;
    QImage image(cell, QImage::Format_RGB888);
    if (image.isNull())
        return false;
    image.fill(m_pData->background);
    const QPoint corner((cell.width() - shown.width()) / 2, (cell.height() - shown.height()) / 2);
    QPainter painter(&image);
    painter.drawImage(corner, shown);
    painter.end();
    image.setDevicePixelRatio(m_pData->devicePixelRatio);
    m_pData->images[size_t(index)] = std::move(image);
    return true;
}

bool CImageList::CopyCell(int index, const CImageListData& source, int sourceIndex)
{
    if (!m_pData || index < 0 || index >= GetImageCount() || source.cellSize != m_pData->cellSize
        || source.devicePixelRatio != m_pData->devicePixelRatio || sourceIndex < 0
        || sourceIndex >= int(source.images.size()))
        return false;
    m_pData->images[size_t(index)] = source.images[size_t(sourceIndex)];
    return true;
}
