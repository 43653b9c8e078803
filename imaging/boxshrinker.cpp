// SPDX-License-Identifier: GPL-2.0-or-later
#include "imaging/boxshrinker.h"

#include <algorithm>
#include <bit>

BoxShrinker::BoxShrinker(int sourceWidth, int sourceHeight, int factor, bool opaque)
    : m_sourceWidth(sourceWidth)
    , m_sourceHeight(sourceHeight)
    , m_factor(factor)
    , m_shift(std::countr_zero(unsigned(factor)))
    , m_opaque(opaque)
    , m_result((sourceWidth + factor - 1) / factor, (sourceHeight + factor - 1) / factor,
               QImage::Format_ARGB32_Premultiplied)
{
    m_sums.assign(std::size_t(m_result.width()) * 4, 0);
}

void BoxShrinker::addRow(const unsigned char* row)
{
    if (m_outputRow >= m_result.height())
        return;
    if (m_opaque)
        addOpaqueRow(row);
    else
        addTranslucentRow(row);
    ++m_rowsInBand;
    if (++m_rowsAdded == m_sourceHeight || m_rowsInBand == m_factor)
        emitRow();
}

void BoxShrinker::addOpaqueRow(const unsigned char* row)
{
    std::uint32_t* sum = m_sums.data();
    for (int x = 0; x < m_sourceWidth; x += m_factor, sum += 4) {
        const int end = std::min(m_sourceWidth, x + m_factor);
        std::uint32_t blue = 0, green = 0, red = 0;
        for (const unsigned char* pixel = row + x * 4; pixel < row + end * 4; pixel += 4) {
            blue += pixel[0];
            green += pixel[1];
            red += pixel[2];
        }
        sum[0] += blue * 255;
        sum[1] += green * 255;
        sum[2] += red * 255;
        sum[3] += std::uint32_t(end - x) * 255 * 255;
    }
}

void BoxShrinker::addTranslucentRow(const unsigned char* row)
{
    for (int x = 0; x < m_sourceWidth; ++x) {
        const unsigned char* pixel = row + x * 4;
        const std::uint32_t alpha = pixel[3];
        std::uint32_t* sum = &m_sums[std::size_t(x >> m_shift) * 4];
        sum[0] += pixel[0] * alpha;
        sum[1] += pixel[1] * alpha;
        sum[2] += pixel[2] * alpha;
        sum[3] += alpha * 255;
    }
}

void BoxShrinker::emitRow()
{
    unsigned char* out = m_result.scanLine(m_outputRow);
    for (int column = 0; column < m_result.width(); ++column) {
        const int columns = std::min(m_factor, m_sourceWidth - column * m_factor);
        const std::uint32_t divisor = std::uint32_t(columns * m_rowsInBand) * 255;
        std::uint32_t* sum = &m_sums[std::size_t(column) * 4];
        for (int channel = 0; channel < 4; ++channel)
            out[column * 4 + channel] = static_cast<unsigned char>((sum[channel] + divisor / 2) / divisor);
    }
    std::fill(m_sums.begin(), m_sums.end(), 0);
    m_rowsInBand = 0;
    ++m_outputRow;
}
