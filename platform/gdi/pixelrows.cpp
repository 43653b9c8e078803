// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/gdi/pixelrows.h"

#include <cstring>

namespace {

void fromMonochrome(const BYTE* source, int sourceX, BYTE* destination, int destinationBits, int count,
                    BYTE alpha)
{
    const int step = destinationBits / 8;
    for (int i = 0; i < count; ++i) {
        const int x = sourceX + i;
        const BYTE value = (source[x / 8] & (0x80 >> (x % 8))) ? 0xFF : 0x00;
        BYTE* out = destination + i * step;
        out[0] = out[1] = out[2] = value;
        if (step == 4)
            out[3] = alpha;
    }
}

void from32To24(const BYTE* source, BYTE* destination, int count)
{
    for (int i = 0; i < count; ++i) {
        destination[0] = source[0];
        destination[1] = source[1];
        destination[2] = source[2];
        source += 4;
        destination += 3;
    }
}

void from24To32(const BYTE* source, BYTE* destination, int count, BYTE alpha)
{
    for (int i = 0; i < count; ++i) {
        destination[0] = source[0];
        destination[1] = source[1];
        destination[2] = source[2];
        destination[3] = alpha;
        source += 3;
        destination += 4;
    }
}

} // namespace

void PixelRows::convert(const BYTE* source, int sourceBits, int sourceX, BYTE* destination,
                        int destinationBits, int count, BYTE alpha)
{
    if (count <= 0 || !isSupportedDestination(destinationBits))
        return;
    if (sourceBits == 1)
        fromMonochrome(source, sourceX, destination, destinationBits, count, alpha);
    else if (sourceBits == destinationBits)
        std::memmove(destination, source + sourceX * (sourceBits / 8), size_t(count) * (sourceBits / 8));
    else if (sourceBits == 32)
        from32To24(source + sourceX * 4, destination, count);
    else if (sourceBits == 24)
        from24To32(source + sourceX * 3, destination, count, alpha);
}

void PixelRows::fill(BYTE* destination, int destinationBits, int count, COLORREF color)
{
    const BYTE red = BYTE(color), green = BYTE(color >> 8), blue = BYTE(color >> 16);
    const int step = destinationBits / 8;
    if (!isSupportedDestination(destinationBits) || count <= 0)
        return;
    // Greys (black above all: every film frame starts black) are one byte repeated.
    if (red == green && green == blue && (step == 3 || blue == 0)) {
        std::memset(destination, blue, std::size_t(count) * std::size_t(step));
        return;
    }
    for (int i = 0; i < count; ++i) {
        BYTE* out = destination + i * step;
        out[0] = blue;
        out[1] = green;
        out[2] = red;
        if (step == 4)
            out[3] = 0;
    }
}

void PixelRows::setOpaque(BYTE* row, int count)
{
    for (int i = 0; i < count; ++i)
        row[i * 4 + 3] = 0xFF;
}
