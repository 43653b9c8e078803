// SPDX-License-Identifier: GPL-2.0-or-later
#include "imaging/metafile/svgextentfilter.h"

#include "imaging/metafile/metafileformat.h"

#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cmath>

namespace {

constexpr const char* kGeometryAttributes[] = {"x", "y", "x1", "y1", "x2", "y2", "cx", "cy", "r",
                                               "rx", "ry", "width", "height", "d", "points"};

}  // namespace

QByteArray SvgExtentFilter::filter(const QByteArray& svg, QSize canvas)
{
    const double pixels = metafile::geometryLimit(canvas);
    double limit = pixels;
    bool root = true;
    QXmlStreamReader reader(svg);
    QByteArray out;
    QXmlStreamWriter writer(&out);
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            if (root) {
                root = false;
                limit = pixels / scaleOf(reader.attributes(), canvas);
            }
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

double SvgExtentFilter::scaleOf(const QXmlStreamAttributes& root, QSize canvas)
{
    bool wideOk = false, highOk = false;
    const double width = root.value(QLatin1String("width")).toDouble(&wideOk);
    const double height = root.value(QLatin1String("height")).toDouble(&highOk);
    if (!wideOk || !highOk || !(width > 0) || !(height > 0))
        return 1;
    const double scale = std::max(canvas.width() / width, canvas.height() / height);
    return std::isfinite(scale) && scale > 0 ? scale : 1;
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
