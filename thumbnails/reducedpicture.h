// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A photo reduced once, large enough for every thumbnail the photo list makes of it: the upright
// photo fitted into a square of one of the desktop's thumbnail sizes (never enlarged), with the
// photo's own size. The size is the least that covers the largest cell at the screen's device
// pixel ratio: 256 (large) up to ratio 1.28, 512 (x-large) up to 2.56, 1024 (xx-large) above.
// A photo that could not be decoded has no picture.

#include <QImage>
#include <QSize>

#include <cstddef>

class ImageSource;

struct ReducedPicture {
    static constexpr int kLargestSide = 256;
    static constexpr int kLargestCellWidth = 200; // logical pixels

    // The side of the square pictures are fitted into for cells at `devicePixelRatio`.
    static int sideFor(qreal devicePixelRatio);

    QSize photoSize;
    QImage picture; // RGB888 when opaque, else ARGB32_Premultiplied

    bool isDecoded() const { return !picture.isNull(); }
    std::size_t bytes() const { return std::size_t(picture.sizeInBytes()) + sizeof(ReducedPicture); }

    // The photo's size fitted into `side` x `side`, never enlarged, each side at least 1.
    static QSize fittedSize(const QSize& photo, int side = kLargestSide);
    // Decodes `source` at the least size that gives the picture fitted into `side` x `side` (a
    // decode short of it by at most 1/32 is stretched rather than decoding four times the pixels).
    // No picture when the pixels cannot be decoded.
    static ReducedPicture fromSource(ImageSource& source, int side = kLargestSide);
    // Keeps an already reduced picture (from the thumbnail cache) in the stored formats.
    static ReducedPicture fromThumbnail(const QSize& photoSize, const QImage& thumbnail);

    // The list's thumbnail at `width`: width x (width x h / w) pixels, the quotient truncated as in
    // unsigned 32-bit arithmetic (at least one row), RGB32 or ARGB32_Premultiplied. Null when the
    // photo was not decoded or reads no size.
    QImage thumbnail(int width) const;
    // The photo fitted into `cell` (device pixels, enlarged when smaller), resized from the picture
    // in one step of good quality; RGB32 or ARGB32_Premultiplied. Null as for thumbnail().
    QImage cellPicture(const QSize& cell) const;
    // Whether the picture is as large as the photo fitted into `side` x `side`; a photo without
    // pixels covers every size.
    bool covers(int side) const;
};
