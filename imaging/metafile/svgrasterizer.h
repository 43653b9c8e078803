// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

// Draws SVG text over a whole image of a given size.
class SvgRasterizer {
public:
    // ARGB32 premultiplied, transparent where nothing is drawn; null when the text does not parse
    // or the size is empty or over the pixel budget.
    static QImage rasterize(const QByteArray& svg, QSize size);
};
