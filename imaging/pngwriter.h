// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Writes a picture as PNG into bytes in memory: 8-bit RGB, or RGBA for pictures with an alpha
// channel, non-interlaced, with Latin-1 text chunks ahead of the pixels. The container is a few
// chunks written here; the pixels are compressed with libdeflate, which on photo thumbnails is
// more than twice as quick as zlib's quickest setting that libpng offers, for a few percent more
// bytes. Reading stays with libpng (PngReader).

#include <QByteArray>
#include <QList>
#include <QPair>

class QImage;

class PngWriter {
public:
    // The PNG of `image` carrying `texts` (key, text) as tEXt chunks; empty on failure (no
    // memory, or a key that PNG does not allow: 1 to 79 Latin-1 characters, no spaces at the ends).
    static QByteArray encode(const QImage& image, const QList<QPair<QByteArray, QByteArray>>& texts);
};
