// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>

// Leaves out of an SVG document every element whose geometry reaches beyond a given distance from
// the origin. Antialiased drawing of a curve costs time in proportion to its length even where it
// is clipped away, so a file of enormous shapes would otherwise take minutes to draw.
class SvgExtentFilter {
public:
    // The filtered document; empty when the text is no well-formed XML.
    static QByteArray filter(const QByteArray& svg, double limit);

private:
    static bool withinLimit(const QStringView value, double limit);
};
