// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/video1/video1decoder.h"

#include "platform/video1/video1format.h"

#include <new>

namespace video1 {

class Video1Decoder::Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size)
        : m_data(data), m_size(data ? size : 0)
    {
    }

    bool readWord(std::uint16_t& word)
    {
        if (m_size - m_position < 2)
            return false;
        word = std::uint16_t(m_data[m_position] | m_data[m_position + 1] << 8);
        m_position += 2;
        return true;
    }

    bool readWords(std::uint16_t* words, int count)
    {
        for (int i = 0; i < count; ++i)
            if (!readWord(words[i]))
                return false;
        return true;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_position = 0;
};

Video1Decoder::Video1Decoder(int width, int height)
{
    if (width <= 0 || height <= 0 || width % kBlockSize != 0 || height % kBlockSize != 0)
        return;
    try {
        m_pixels.assign(std::size_t(width) * std::size_t(height), 0);
    } catch (const std::bad_alloc&) {
        return;
    }
    m_width = width;
    m_height = height;
}

bool Video1Decoder::valid() const
{
    return m_width > 0;
}

int Video1Decoder::width() const
{
    return m_width;
}

int Video1Decoder::height() const
{
    return m_height;
}

bool Video1Decoder::decode(const std::uint8_t* data, std::size_t size)
{
    if (!valid())
        return false;
    Reader reader(data, size);
    return decodeBlocks(reader);
}

bool Video1Decoder::decodeBlocks(Reader& reader)
{
    const long long blocks = (long long)(m_width / kBlockSize) * (m_height / kBlockSize);
    m_lastFrameWasKey = true;
    for (long long block = 0; block < blocks;) {
        std::uint16_t word = 0;
        if (!reader.readWord(word))
            return false;
        if (word >= kSkipCodeFirst && word <= kSkipCodeLast) {
            const int skipped = word - kSkipCodeFirst;
            if (skipped == 0 || skipped > blocks - block)
                return false;
            block += skipped;
            m_lastFrameWasKey = false;
            continue;
        }
        std::uint16_t colours[8] = {};
        std::uint16_t flags = 0;
        bool eightColours = false;
        if (word & kOneColourFlag) {
            colours[0] = colours[1] = word & 0x7FFF;
        } else {
            flags = word;
            if (!reader.readWords(colours, 2))
                return false;
            eightColours = (colours[0] & kEightColourFlag) != 0;
            if (eightColours && !reader.readWords(colours + 2, 6))
                return false;
        }
        fillBlock(int(block), flags, colours, eightColours);
        ++block;
    }
    return true;
}

void Video1Decoder::fillBlock(int blockIndex, std::uint16_t flags, const std::uint16_t* colours,
                              bool eightColours)
{
    const int blockColumns = m_width / kBlockSize;
    const int bottomRow = (blockIndex / blockColumns) * kBlockSize;
    const int left = (blockIndex % blockColumns) * kBlockSize;
    for (int y = 0; y < kBlockSize; ++y) {
        std::uint16_t* row = m_pixels.data() + std::size_t(m_height - 1 - bottomRow - y) * m_width + left;
        for (int x = 0; x < kBlockSize; ++x, flags >>= 1) {
            const int pair = eightColours ? ((y & 2) << 1) + (x & 2) : 0;
            row[x] = colours[pair + ((flags & 1) ^ 1)] & 0x7FFF;
        }
    }
}

bool Video1Decoder::lastFrameWasKey() const
{
    return m_lastFrameWasKey;
}

const std::vector<std::uint16_t>& Video1Decoder::rgb555() const
{
    return m_pixels;
}

std::vector<std::uint8_t> Video1Decoder::toBgr24(bool bottomUp) const
{
    std::vector<std::uint8_t> bgr(m_pixels.size() * 3);
    std::uint8_t* out = bgr.data();
    for (int y = 0; y < m_height; ++y) {
        const std::uint16_t* row = m_pixels.data() + std::size_t(bottomUp ? m_height - 1 - y : y) * m_width;
        for (int x = 0; x < m_width; ++x) {
            *out++ = std::uint8_t(expand5(blue5Of(row[x])));
            *out++ = std::uint8_t(expand5(green5Of(row[x])));
            *out++ = std::uint8_t(expand5(red5Of(row[x])));
        }
    }
    return bgr;
}

} // namespace video1
