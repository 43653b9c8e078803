// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QSize>

// Converts a checked EMF (see EmfFile::playable) to SVG text through libemf2svg.
class EmfSvgConverter {
public:
    // The SVG text for a canvas of `size`; empty on failure or when the text would exceed
    // metafile::kMaxSvgBytes.
    static QByteArray convert(const QByteArray& playable, QSize size);
};
