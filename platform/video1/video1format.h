// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Microsoft Video 1 (16-bit) bitstream constants and the RGB555 colour helpers shared by the
// encoder and the decoder.
//
// A frame is a sequence of 4x4 blocks, left to right, bottom block row first. Each block starts
// with a little-endian 16-bit word:
//   0x8400..0x87FF  skip code: (word - 0x8400) blocks are kept from the previous frame
//   0x8000..0xFFFF  otherwise a one-colour block: the word is the RGB555 colour (bit 15 set)
//   0x0000..0x7FFF  flags of a two-colour block, followed by colours A and B; or, when bit 15 of
//                   colour A is set, flags of an eight-colour block followed by eight colours
//                   (A and B for each 2x2 quadrant: bottom-left, bottom-right, top-left, top-right)
// Flag bit n (n = row from the bottom * 4 + column) set selects colour A, clear selects B.

#include <array>
#include <cstdint>

namespace video1 {

constexpr int kBlockSize = 4;
constexpr int kPixelsPerBlock = kBlockSize * kBlockSize;

constexpr std::uint16_t kSkipCodeFirst = 0x8400;
constexpr std::uint16_t kSkipCodeLast = 0x87FF;
constexpr std::uint16_t kOneColourFlag = 0x8000;
constexpr std::uint16_t kEightColourFlag = 0x8000; // on the first colour after the flags
constexpr std::uint16_t kFlagsMax = 0x7FFF;

constexpr int kOneColourBytes = 2;
constexpr int kTwoColourBytes = 6;
constexpr int kEightColourBytes = 18;
constexpr int kEndOfFrameBytes = 2;

// A 5-bit channel value as decoders expand it back to 8 bits (bit replication).
constexpr int expand5(int value5)
{
    return (value5 << 3) | (value5 >> 2);
}

// The 5-bit value whose expansion lies closest to an 8-bit value (ties go down).
constexpr std::array<std::uint8_t, 256> makeNearest5Table()
{
    std::array<std::uint8_t, 256> table{};
    for (int v = 0; v < 256; ++v) {
        int best = 0;
        for (int q = 1; q < 32; ++q) {
            const int d = expand5(q) - v;
            const int bestD = expand5(best) - v;
            if (d * d < bestD * bestD)
                best = q;
        }
        table[v] = static_cast<std::uint8_t>(best);
    }
    return table;
}

inline constexpr std::array<std::uint8_t, 256> kNearest5 = makeNearest5Table();

constexpr std::uint16_t packRgb555(int red5, int green5, int blue5)
{
    return static_cast<std::uint16_t>((red5 << 10) | (green5 << 5) | blue5);
}

constexpr int red5Of(std::uint16_t rgb555) { return (rgb555 >> 10) & 0x1F; }
constexpr int green5Of(std::uint16_t rgb555) { return (rgb555 >> 5) & 0x1F; }
constexpr int blue5Of(std::uint16_t rgb555) { return rgb555 & 0x1F; }

// A one-colour block cannot carry a red value of 1: its word would read as a skip code.
constexpr bool fitsOneColourBlock(std::uint16_t rgb555)
{
    return red5Of(rgb555) != 1;
}

} // namespace video1
