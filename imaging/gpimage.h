// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The image objects the flat interface hands out: a picture that decodes on demand. Every image
// is a raster bitmap here, so GpBitmap adds nothing to GpImage.

#include "imaging/gdiplus.h"
#include "imaging/imagesource.h"

#include <memory>

struct GpImage {
    explicit GpImage(std::shared_ptr<ImageSource> picture) : source(std::move(picture)) {}
    virtual ~GpImage() = default;

    // Shared with the bitmaps handed out from it, which may outlive the image.
    std::shared_ptr<ImageSource> source;
};

struct GpBitmap : GpImage {
    using GpImage::GpImage;
};

struct GpGraphics {
    HDC hdc;
};
