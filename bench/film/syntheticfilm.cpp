// SPDX-License-Identifier: GPL-2.0-or-later
#include "syntheticfilm.h"

#include "film/cdibimage.h"
#include "film/cfilmwriter.h"

#include <algorithm>
#include <cstring>

SyntheticFilm::SyntheticFilm(Kind kind)
    : m_kind(kind)
{
}

HRESULT SyntheticFilm::make(const QString& path, int frames)
{
    m_stored = 0;
    CFilmWriter writer;
    if (!writer.Open(path, 25))
        return writer.m_LastResult != AVIERR_OK ? writer.m_LastResult : AVIERR_FILEOPEN;
    CDibImage canvas;
    if (!canvas.Create(kCanvasSize, kCanvasSize, 24)) {
        writer.Close(false);
        return AVIERR_MEMORY;
    }
    // CDibImage points m_Bits at the top row; a bottom-up DIB climbs by -m_Pitch.
    std::uint8_t* bottomRow = canvas.m_Bits + std::ptrdiff_t(kCanvasSize - 1) * canvas.m_Pitch;
    const std::ptrdiff_t upward = -canvas.m_Pitch;
    for (int frame = 0; frame < frames; ++frame) {
        draw(bottomRow, upward, frame);
        if (writer.AddFrame(canvas.m_Bitmap) != AVIERR_OK)
            break;
        ++m_stored;
    }
    keepLastFrame(bottomRow, upward);
    return writer.Close(m_stored == frames);
}

void SyntheticFilm::draw(std::uint8_t* bottomRow, std::ptrdiff_t upward, int frame)
{
    for (int y = 0; y < kCanvasSize; ++y) {
        std::uint8_t* row = bottomRow + upward * (kCanvasSize - 1 - y);
        if (m_kind == Kind::Noise) {
            for (int x = 0; x < kCanvasSize * 3; x += 8) {
                m_noiseState ^= m_noiseState << 13; // xorshift64
                m_noiseState ^= m_noiseState >> 7;
                m_noiseState ^= m_noiseState << 17;
                std::memcpy(row + x, &m_noiseState, std::min(8, kCanvasSize * 3 - x));
            }
            continue;
        }
        // A diagonal gradient that slides with the frame number, and a square that walks across.
        const int square = (frame * 7) % (kCanvasSize - 200);
        for (int x = 0; x < kCanvasSize; ++x) {
            const bool inSquare = x >= square && x < square + 200 && y >= square && y < square + 200;
            row[3 * x] = inSquare ? 255 : std::uint8_t((x + frame) / 8);
            row[3 * x + 1] = inSquare ? 255 : std::uint8_t((y + 2 * frame) / 8);
            row[3 * x + 2] = inSquare ? 255 : std::uint8_t((x + y) / 16);
        }
    }
}

void SyntheticFilm::keepLastFrame(const std::uint8_t* bottomRow, std::ptrdiff_t upward)
{
    const std::size_t rowBytes = std::size_t(kCanvasSize) * 3;
    m_lastFrame.resize(rowBytes * kCanvasSize);
    for (int y = 0; y < kCanvasSize; ++y)
        std::memcpy(&m_lastFrame[rowBytes * std::size_t(y)], bottomRow + upward * (kCanvasSize - 1 - y), rowBytes);
}
