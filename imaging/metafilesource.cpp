// SPDX-License-Identifier: GPL-2.0-or-later
#include "imaging/metafilesource.h"

#include "imaging/imagelimits.h"

MetafileSource::MetafileSource(QByteArray data, MetafileKind kind, QSize size)
    : m_data(std::move(data))
    , m_kind(kind)
    , m_size(size)
{
}

std::unique_ptr<MetafileSource> MetafileSource::open(const QByteArray& data, MetafileKind kind)
{
    QSize size;
    if (!MetafileDecoder::readSize(data, kind, &size) || !fitsPixelBudget(size))
        return nullptr;
    return std::unique_ptr<MetafileSource>(new MetafileSource(data, kind, size));
}

const QImage& MetafileSource::image()
{
    if (m_image.isNull() && !m_failed) {
        m_image = MetafileDecoder::render(m_data, m_kind, m_size);
        m_failed = m_image.isNull();
        if (!m_failed)
            m_image.convertTo(QImage::Format_ARGB32_Premultiplied);
    }
    return m_image;
}

QImage MetafileSource::decodeReduced(const QSize&)
{
    return image();
}

QImage MetafileSource::decodeRegion(const QRect& region)
{
    const QImage& whole = image();
    return whole.isNull() ? whole : whole.copy(region);
}
