// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// 24-bit DIB pixel buffers for film tests, and their comparison with what a decoder gives back.

#include "platform/wintypes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

struct Colour {
    BYTE blue, green, red;
};

BITMAPINFOHEADER rgb24Format(LONG width, LONG height);
// Upper half one colour, lower half another; the bottom row first in memory when `bottomUp`.
std::vector<BYTE> halvesPicture(int width, int height, Colour upper, Colour lower, bool bottomUp);
std::vector<BYTE> noisePicture(int width, int height, unsigned seed);
// Decoded BGR rows (top first) show each DIB channel as the nearest of the 32 levels Video 1 keeps.
::testing::AssertionResult matchesRgb555(const std::vector<std::uint8_t>& decodedTopDown,
                                         const std::vector<BYTE>& source, int width, int height, bool bottomUp);
