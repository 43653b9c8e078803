// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Resizes a picture in one step with a windowed-sinc (Lanczos, three lobes) filter, separable, the
// filter widened by the reduction factor when shrinking so that every source pixel counts. Used
// where a picture is shown at the screen's pixels: sharper than Qt's area-averaging reduction and
// its bilinear enlargement, without the blocks of a box filter.

#include <QImage>
#include <QSize>

class ImageResampler {
public:
    // `image` scaled to exactly `size` (aspect ratio not kept), RGB32 when `image` is opaque and
    // ARGB32_Premultiplied otherwise. A null image when either is empty or the result cannot be
    // allocated; `image` itself (converted) when the sizes already match.
    static QImage scaled(const QImage& image, const QSize& size);
};
