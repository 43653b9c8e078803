// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Conversion of pixel rows between the bitmap formats of the graphics layer: 1 bit (the stock
// bitmap: 0 black, 1 white), 24 bits (B, G, R) and 32 bits (B, G, R, reserved/alpha).

#include "platform/wintypes.h"

class PixelRows {
public:
    static bool isSupportedDestination(int bitsPerPixel) { return bitsPerPixel == 24 || bitsPerPixel == 32; }

    // Copies `count` pixels starting at pixel `sourceX` of `source` to the start of `destination`.
    // Going from 24 to 32 bits sets the fourth byte to `alpha`; going from 32 to 24 drops it.
    static void convert(const BYTE* source, int sourceBits, int sourceX, BYTE* destination,
                        int destinationBits, int count, BYTE alpha = 0);

    // Sets the fourth byte of `count` 32-bit pixels to 0xFF.
    static void setOpaque(BYTE* row, int count);

    // Fills `count` pixels of a 24- or 32-bit row with one colour (fourth byte 0).
    static void fill(BYTE* destination, int destinationBits, int count, COLORREF color);
};
