// SPDX-License-Identifier: GPL-2.0-or-later
#include "testpictures.h"

#include <cstdlib>
#include <cstring>
#include <random>

BITMAPINFOHEADER rgb24Format(LONG width, LONG height)
{
    DWORD imageBytes = DWORD(DibRowStride(width, 24) * (height < 0 ? -height : height));
    return {40, width, height, 1, 24, BI_RGB, imageBytes, 0, 0, 0, 0};
}

std::vector<BYTE> halvesPicture(int width, int height, Colour upper, Colour lower, bool bottomUp)
{
    std::int64_t stride = DibRowStride(width, 24);
    std::vector<BYTE> pixels(std::size_t(stride * height));
    for (int row = 0; row < height; ++row) {
        int pictureRow = bottomUp ? height - 1 - row : row;
        Colour colour = pictureRow < height / 2 ? upper : lower;
        for (int x = 0; x < width; ++x)
            std::memcpy(&pixels[std::size_t(row * stride + x * 3)], &colour, 3);
    }
    return pixels;
}

std::vector<BYTE> noisePicture(int width, int height, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<BYTE> pixels(std::size_t(DibRowStride(width, 24) * height));
    for (BYTE& byte : pixels)
        byte = BYTE(random());
    return pixels;
}

namespace {

// The 8-bit value a decoder shows for 5-bit level `level`.
int expandedLevel(int level)
{
    return (level << 3) | (level >> 2);
}

// `decoded` is the RGB555 level nearest to `expected` (either one at a tie).
bool isNearestRgb555Level(int decoded, int expected)
{
    return decoded == expandedLevel(decoded >> 3) && std::abs(decoded - expected) <= 4;
}

} // namespace

::testing::AssertionResult matchesRgb555(const std::vector<std::uint8_t>& decodedTopDown,
                                         const std::vector<BYTE>& source, int width, int height, bool bottomUp)
{
    std::int64_t stride = DibRowStride(width, 24);
    for (int row = 0; row < height; ++row) {
        std::int64_t sourceRow = bottomUp ? height - 1 - row : row;
        for (int i = 0; i < width * 3; ++i) {
            int decoded = decodedTopDown[std::size_t(row) * width * 3 + i];
            int expected = source[std::size_t(sourceRow * stride + i)];
            if (!isNearestRgb555Level(decoded, expected))
                return ::testing::AssertionFailure()
                       << "row " << row << " byte " << i << ": " << decoded << " vs " << expected;
        }
    }
    return ::testing::AssertionSuccess();
}
