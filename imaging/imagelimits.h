// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// How much of an image the services will decode or lay out at once.

#include "imaging/gdiplus.h"

#include <QSize>

#include <cstdint>

// A 32-bit bitmap of the whole picture must fit a DIB section, whose size field has 32 bits.
// Pictures up to this size can still be handed out as bitmaps whose pixels are decoded region by
// region; anything decoded in one piece stays within kImagePixelBudget.
constexpr std::int64_t kMaxPicturePixels = 0xFFFFFFFFLL / 4;

inline std::int64_t pixelCount(const QSize& size)
{
    return std::int64_t(size.width()) * size.height();
}

inline bool fitsPixelBudget(const QSize& size)
{
    return size.width() > 0 && size.height() > 0 && pixelCount(size) <= kImagePixelBudget;
}
