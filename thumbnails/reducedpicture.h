// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A photo reduced once, large enough for every thumbnail the photo list makes of it: the upright
// photo fitted into 256 x 256 (never enlarged), as the desktop's large thumbnails are, with the
// photo's own size. A photo that could not be decoded has no picture.

#include <QImage>
#include <QSize>

#include <cstddef>

class ImageSource;

struct ReducedPicture {
    static constexpr int kLargestSide = 256;

    QSize photoSize;
    QImage picture; // RGB888 when opaque, else ARGB32_Premultiplied

    bool isDecoded() const { return !picture.isNull(); }
    std::size_t bytes() const { return std::size_t(picture.sizeInBytes()) + sizeof(ReducedPicture); }

    // The photo's size fitted into 256 x 256, never enlarged, each side at least 1.
    static QSize fittedSize(const QSize& photo);
    // Decodes `source` at the least size that gives the fitted picture. `decoded` is false
    // when the pixels cannot be decoded.
    static ReducedPicture fromSource(ImageSource& source);
    // Keeps an already reduced picture (from the thumbnail cache) in the stored formats.
    static ReducedPicture fromThumbnail(const QSize& photoSize, const QImage& thumbnail);

    // The list's thumbnail at `width`: width x (width x h / w) pixels, the quotient truncated as in
    // unsigned 32-bit arithmetic (at least one row), RGB32 or ARGB32_Premultiplied. Null when the
    // photo was not decoded or reads no size.
    QImage thumbnail(int width) const;
    // The photo fitted into `cell` (device pixels, enlarged when smaller), resized from the picture
    // in one step of good quality; RGB32 or ARGB32_Premultiplied. Null as for thumbnail().
    QImage cellPicture(const QSize& cell) const;
};
