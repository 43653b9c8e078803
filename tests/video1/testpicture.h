// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Pictures for the codec tests: 24-bit BGR, top row first, rows packed.

#include <cstdint>
#include <vector>

class TestPicture {
public:
    TestPicture(int width, int height);

    static TestPicture flat(int width, int height, std::uint8_t blue, std::uint8_t green, std::uint8_t red);
    // Smooth gradients, soft noise, sharp edges and a few saturated shapes: what photos hold.
    static TestPicture photoLike(int width, int height, unsigned seed);

    int width() const { return m_width; }
    int height() const { return m_height; }
    std::uint8_t* pixel(int x, int y) { return &m_bgr[(std::size_t(y) * m_width + x) * 3]; }
    const std::vector<std::uint8_t>& bgr() const { return m_bgr; }

    // The rows bottom row first, each followed by `padding` bytes of junk.
    std::vector<std::uint8_t> bottomUpRows(int padding) const;
    // PSNR in dB of `other` (same layout) against this picture; 99 when identical.
    double psnr(const std::vector<std::uint8_t>& other) const;

private:
    int m_width;
    int m_height;
    std::vector<std::uint8_t> m_bgr;
};
