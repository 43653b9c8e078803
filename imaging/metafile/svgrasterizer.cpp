// SPDX-License-Identifier: GPL-2.0-or-later
#include "imaging/metafile/svgrasterizer.h"

#include "imaging/metafile/metafileformat.h"

#include <QPainter>
#include <QSvgRenderer>

QImage SvgRasterizer::rasterize(const QByteArray& svg, QSize size)
{
    if (size.isEmpty() || std::int64_t(size.width()) * size.height() > metafile::kMaxPixels)
        return {};
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        return {};
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return {};
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    return image;
}
