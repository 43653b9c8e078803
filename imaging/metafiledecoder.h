// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Decoding of Windows metafiles: WMF through libwmf, EMF through libemf2svg, both rendered with
// Qt Svg at their own size at 96 dpi on a transparent background.

#include <QByteArray>
#include <QImage>
#include <QSize>

enum class MetafileKind { Wmf, Emf };

class MetafileDecoder {
public:
    // The picture's size in pixels at 96 dpi, read from the file's header; false when the data is
    // no metafile of that kind, or claims a size over the image pixel budget.
    static bool readSize(const QByteArray& data, MetafileKind kind, QSize* size);

    // Renders the whole picture into an image of `size` (ARGB32 premultiplied, transparent
    // background). A null image on any failure. Records that would draw forever or allocate
    // without bound are cut off.
    static QImage render(const QByteArray& data, MetafileKind kind, QSize size);
};
