// SPDX-License-Identifier: GPL-2.0-or-later
#include "testpicture.h"

#include <algorithm>
#include <cmath>
#include <random>

TestPicture::TestPicture(int width, int height)
    : m_width(width), m_height(height), m_bgr(std::size_t(width) * height * 3, 0)
{
}

TestPicture TestPicture::flat(int width, int height, std::uint8_t blue, std::uint8_t green, std::uint8_t red)
{
    TestPicture picture(width, height);
    for (std::size_t i = 0; i < picture.m_bgr.size(); i += 3) {
        picture.m_bgr[i] = blue;
        picture.m_bgr[i + 1] = green;
        picture.m_bgr[i + 2] = red;
    }
    return picture;
}

TestPicture TestPicture::photoLike(int width, int height, unsigned seed)
{
    TestPicture picture(width, height);
    std::mt19937 random(seed);
    std::normal_distribution<double> grain(0.0, 2.0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double sky = 40.0 + 150.0 * y / height;
            const bool hill = y > height / 2 + 10.0 * std::sin(x * 0.07);
            const bool sun = std::hypot(x - width * 0.7, y - height * 0.3) < height * 0.15;
            double b = hill ? 30 + 0.3 * x : sky + 60, g = hill ? 90 + 40 * std::sin(x * 0.3) : sky + 20, r = hill ? 40 : sky;
            if (sun) {
                b = 40;
                g = 200;
                r = 250;
            }
            std::uint8_t* p = picture.pixel(x, y);
            p[0] = std::uint8_t(std::clamp(b + grain(random), 0.0, 255.0));
            p[1] = std::uint8_t(std::clamp(g + grain(random), 0.0, 255.0));
            p[2] = std::uint8_t(std::clamp(r + grain(random), 0.0, 255.0));
        }
    }
    return picture;
}

std::vector<std::uint8_t> TestPicture::bottomUpRows(int padding) const
{
    const std::size_t rowBytes = std::size_t(m_width) * 3;
    std::vector<std::uint8_t> rows((rowBytes + padding) * m_height, 0xA5);
    for (int y = 0; y < m_height; ++y)
        std::copy_n(&m_bgr[rowBytes * (m_height - 1 - y)], rowBytes, &rows[(rowBytes + padding) * y]);
    return rows;
}

double TestPicture::psnr(const std::vector<std::uint8_t>& other) const
{
    if (other.size() != m_bgr.size())
        return 0.0;
    double squares = 0;
    for (std::size_t i = 0; i < m_bgr.size(); ++i) {
        const double d = double(m_bgr[i]) - double(other[i]);
        squares += d * d;
    }
    if (squares == 0)
        return 99.0;
    return 10.0 * std::log10(255.0 * 255.0 * double(m_bgr.size()) / squares);
}
