// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Long films made through the program's film writer from frames drawn on the fly, for load
// checks: pictures that change from frame to frame, or noise, which Video 1 cannot compress much
// (about 4.5 MB a frame at 2000 x 2000), to pass 4 GiB quickly.

#include "platform/avifile/avifile.h"

#include <QString>

#include <cstdint>
#include <vector>

class SyntheticFilm {
public:
    enum class Kind { Pictures, Noise };
    static constexpr int kCanvasSize = 2000;

    explicit SyntheticFilm(Kind kind);

    // AVIERR_OK when `frames` frames were stored and the film is complete at `path`.
    HRESULT make(const QString& path, int frames);
    // The last frame made, BGR rows top first.
    const std::vector<std::uint8_t>& lastFrame() const { return m_lastFrame; }
    int framesStored() const { return m_stored; }

private:
    void draw(std::uint8_t* bottomRow, std::ptrdiff_t upward, int frame);
    void keepLastFrame(const std::uint8_t* bottomRow, std::ptrdiff_t upward);

    Kind m_kind;
    std::uint64_t m_noiseState = 0x9E3779B97F4A7C15ull;
    std::vector<std::uint8_t> m_lastFrame;
    int m_stored = 0;
};
