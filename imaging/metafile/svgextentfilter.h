// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QSize>
#include <QXmlStreamAttributes>

// Leaves out of an SVG document every element whose geometry reaches beyond a given distance from
// the origin. Antialiased drawing of a curve costs time in proportion to its length even where it
// is clipped away, so a file of enormous shapes would otherwise take minutes to draw.
class SvgExtentFilter {
public:
    // The filtered document for drawing on a canvas of `canvas` pixels; empty when the text is no
    // well-formed XML. The limit is metafile::geometryLimit(canvas) in the canvas's pixels: the
    // document's own units are stretched to the canvas (its width and height to the canvas's), so
    // a picture drawn far larger than its own size has its limit shrunk by that scale.
    static QByteArray filter(const QByteArray& svg, QSize canvas);

private:
    static bool withinLimit(const QStringView value, double limit);
    // How many canvas pixels one unit of the document's root element spans, at the most.
    static double scaleOf(const QXmlStreamAttributes& root, QSize canvas);
};
