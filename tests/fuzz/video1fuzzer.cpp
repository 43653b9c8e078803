// SPDX-License-Identifier: GPL-2.0-or-later
// Arbitrary bytes as a Video 1 frame: the first two bytes choose the picture size (multiples of 4
// up to 128 x 128), the rest is the frame, decoded by the decoder the tests check films with.

#include "platform/video1/video1decoder.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

[[noreturn]] void fail(const char* what, int width, int height)
{
    std::fprintf(stderr, "%s (%dx%d)\n", what, width, height);
    std::abort();
}

// Every block one white colour: a picture no key frame may let through.
std::vector<std::uint8_t> whiteFrame(int width, int height)
{
    return std::vector<std::uint8_t>(std::size_t(width / 4) * std::size_t(height / 4) * 2, 0xFF);
}

void checkPicture(const video1::Video1Decoder& decoder)
{
    const int width = decoder.width();
    const int height = decoder.height();
    const std::vector<std::uint16_t>& pixels = decoder.rgb555();
    if (pixels.size() != std::size_t(width) * std::size_t(height))
        fail("picture of the wrong size", width, height);
    if (std::any_of(pixels.begin(), pixels.end(), [](std::uint16_t pixel) { return pixel > 0x7FFF; }))
        fail("pixel beyond 15 bits", width, height);
    const std::vector<std::uint8_t> topDown = decoder.toBgr24(false);
    const std::vector<std::uint8_t> bottomUp = decoder.toBgr24(true);
    const std::size_t row = std::size_t(width) * 3;
    if (topDown.size() != row * std::size_t(height) || bottomUp.size() != topDown.size())
        fail("24-bit picture of the wrong size", width, height);
    for (int y = 0; y < height; ++y)
        if (std::memcmp(topDown.data() + std::size_t(y) * row, bottomUp.data() + std::size_t(height - 1 - y) * row, row))
            fail("bottom-up rows are not the top-down rows reversed", width, height);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const int width = 4 * (1 + data[0] % 32);
    const int height = 4 * (1 + data[1] % 32);
    const std::uint8_t* frame = data + 2;
    const std::size_t frameSize = size - 2;

    video1::Video1Decoder fresh(width, height);
    if (!fresh.valid())
        fail("decoder refused a valid size", width, height);
    const bool decoded = fresh.decode(frame, frameSize);
    checkPicture(fresh);
    if (!decoded || !fresh.lastFrameWasKey())
        return 0;

    // A key frame codes every block, so what came before cannot show through.
    video1::Video1Decoder overWhite(width, height);
    const std::vector<std::uint8_t> white = whiteFrame(width, height);
    if (!overWhite.decode(white.data(), white.size()) || !overWhite.decode(frame, frameSize))
        fail("a frame decoded once but not over another", width, height);
    if (!overWhite.lastFrameWasKey() || overWhite.rgb555() != fresh.rgb555())
        fail("a key frame shows the previous picture", width, height);
    return 0;
}
