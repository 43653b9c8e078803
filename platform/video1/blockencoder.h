// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Chooses and writes the coding of one 4x4 block: one colour, two colours or eight colours
// (two per 2x2 quadrant), whichever costs least in squared error plus `lambda` per byte.

#include "platform/video1/video1format.h"

#include <cstdint>

namespace video1 {

// The block's samples by channel (0 blue, 1 green, 2 red); pixel n is at row n / 4 counted from
// the bottom of the block, column n % 4.
struct BlockPixels {
    std::int16_t channel[3][kPixelsPerBlock];
};

class BlockEncoder {
public:
    // `lambda` is the squared error (summed over the three 8-bit channels) worth one byte.
    explicit BlockEncoder(int lambda);

    // Writes the block at `out` (room for kEightColourBytes) and returns the bytes written.
    int encode(const BlockPixels& block, std::uint8_t* out) const;
    // The same for a block whose sixteen pixels share one colour.
    int encodeFlat(int blue, int green, int red, std::uint8_t* out) const;

private:
    struct Candidate;
    struct Sums;

    static Sums sumsOf(const BlockPixels& block);
    static Candidate oneColour(const Sums& sums);
    Candidate flat(const Sums& sums) const;
    static Candidate twoColour(const BlockPixels& block, const Sums& sums);
    static Candidate eightColour(const BlockPixels& block);
    static int write(const Candidate& candidate, std::uint8_t* out);

    int m_lambda;
};

} // namespace video1
