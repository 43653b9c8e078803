// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A small Microsoft Video 1 (16-bit) decoder, used to check the encoder. It reads untrusted data:
// every read is bounds-checked and a corrupt or short frame is reported, never guessed at.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace video1 {

class Video1Decoder {
public:
    // Width and height must be positive multiples of 4; valid() tells.
    Video1Decoder(int width, int height);

    bool valid() const;
    int width() const;
    int height() const;

    // Decodes one frame over the previous one (skipped blocks keep their pixels; the first frame
    // starts black). Returns false when the data ends before the last block or holds a skip code
    // that runs past the frame; the picture is then partly updated.
    bool decode(const std::uint8_t* data, std::size_t size);

    // Whether the last decoded frame coded every block (no skip codes).
    bool lastFrameWasKey() const;

    // The picture as RGB555 values, top row first.
    const std::vector<std::uint16_t>& rgb555() const;

    // The picture as 24-bit BGR rows of width * 3 bytes, top row first unless bottomUp.
    std::vector<std::uint8_t> toBgr24(bool bottomUp = false) const;

private:
    class Reader;

    bool decodeBlocks(Reader& reader);
    void fillBlock(int blockIndex, std::uint16_t flags, const std::uint16_t* colours, bool eightColours);

    int m_width = 0;
    int m_height = 0;
    bool m_lastFrameWasKey = false;
    std::vector<std::uint16_t> m_pixels;
};

} // namespace video1
