// SPDX-License-Identifier: GPL-2.0-or-later
#include "imaging/stillsource.h"

StillSource::StillSource(QImage image) : m_image(std::move(image)) {}

QImage StillSource::decodeReduced(const QSize&)
{
    return m_image;
}

QImage StillSource::decodeRegion(const QRect& region)
{
    return regionOf(m_image, region);
}
