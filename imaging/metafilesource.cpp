// SPDX-License-Identifier: GPL-2.0-or-later
#include "imaging/metafilesource.h"

#include "imaging/imagelimits.h"

MetafileSource::MetafileSource(QByteArray data, MetafileKind kind, QSize size)
    : m_data(std::move(data))
    , m_kind(kind)
    , m_size(size)
{
}

std::unique_ptr<MetafileSource> MetafileSource::open(const QByteArray& data, MetafileKind kind, DecodeFault* fault)
{
    QSize size;
    if (!MetafileDecoder::readSize(data, kind, &size)) {
        *fault = DecodeFault(DecodeFault::Kind::Damaged, QStringLiteral("no size can be read from its header"));
        return nullptr;
    }
    if (!fitsPixelBudget(size)) {
        *fault = DecodeFault(DecodeFault::Kind::TooLarge, QStringLiteral("more pixels than are decoded at once"));
        return nullptr;
    }
    return std::unique_ptr<MetafileSource>(new MetafileSource(data, kind, size));
}

const QImage& MetafileSource::image()
{
    if (m_image.isNull() && !m_failed) {
        m_image = MetafileDecoder::render(m_data, m_kind, m_size);
        m_failed = m_image.isNull();
        if (m_failed)
            noteFault(DecodeFault(DecodeFault::Kind::Damaged, QStringLiteral("its records cannot be rendered")));
        else
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
    return whole.isNull() ? whole : regionOf(whole, region);
}
