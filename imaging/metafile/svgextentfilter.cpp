// SPDX-License-Identifier: GPL-2.0-or-later
#include "imaging/metafile/svgextentfilter.h"

#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <cmath>

namespace {

constexpr const char* kGeometryAttributes[] = {"x", "y", "x1", "y1", "x2", "y2", "cx", "cy", "r",
                                               "rx", "ry", "width", "height", "d", "points"};

}  // namespace

QByteArray SvgExtentFilter::filter(const QByteArray& svg, double limit)
{
    QXmlStreamReader reader(svg);
    QByteArray out;
    QXmlStreamWriter writer(&out);
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            bool within = true;
            for (const char* name : kGeometryAttributes)
                within = within && withinLimit(reader.attributes().value(QLatin1String(name)), limit);
            if (!within) {
                reader.skipCurrentElement();
                continue;
            }
        }
        if (!reader.hasError())
            writer.writeCurrentToken(reader);
    }
    return reader.hasError() ? QByteArray() : out;
}

bool SvgExtentFilter::withinLimit(const QStringView value, double limit)
{
    if (value.isEmpty())
        return true;
    static const QRegularExpression number(QStringLiteral("[-+]?(\\d+\\.?\\d*|\\.\\d+)([eE][-+]?\\d+)?"));
    for (QRegularExpressionMatchIterator it = number.globalMatch(value); it.hasNext();) {
        const double v = it.next().capturedView().toDouble();
        if (!std::isfinite(v) || std::abs(v) > limit)
            return false;
    }
    return true;
}
