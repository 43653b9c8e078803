// SPDX-License-Identifier: GPL-2.0-or-later
#include "referencecanvas.h"

#include <QImage>
#include <QImageReader>

#include <algorithm>

ReferenceCanvas::ReferenceCanvas(int size)
    : m_size(size)
{
}

PhotoFacts ReferenceCanvas::render(const QString& photo, std::vector<std::uint8_t>& canvas) const
{
    canvas.assign(std::size_t(m_size) * m_size * 3, 0);
    PhotoFacts facts;
    QImageReader::setAllocationLimit(0);
    QImageReader reader(photo);
    reader.setAutoTransform(true);
    facts.transformation = reader.transformation();
    const QImage image = reader.read();
    if (image.isNull())
        return facts;
    facts.decoded = true;
    facts.decodedBytes = std::uint64_t(image.width()) * std::uint64_t(image.height()) * 4;
    const QImage onBlack = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int width = std::min(onBlack.width(), m_size), height = std::min(onBlack.height(), m_size);
    for (int y = 0; y < height; ++y) {
        const auto* argb = reinterpret_cast<const std::uint32_t*>(onBlack.constScanLine(y));
        std::uint8_t* bgr = &canvas[std::size_t(y) * m_size * 3];
        for (int x = 0; x < width; ++x) {
            bgr[3 * x] = std::uint8_t(argb[x]);
            bgr[3 * x + 1] = std::uint8_t(argb[x] >> 8);
            bgr[3 * x + 2] = std::uint8_t(argb[x] >> 16);
            facts.translucent |= (argb[x] >> 24) != 0xFF;
        }
    }
    return facts;
}
