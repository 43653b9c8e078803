// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Scores a film against the canvases it should show: FFmpeg decodes the film to 24-bit frames,
// each compared with the canvas of the same number read from a raw file of reference canvases.

#include <QString>

#include <cstddef>
#include <string>

struct FilmScoreResult {
    std::size_t references = 0;
    std::size_t frames = 0;
    double meanPsnr = 0;
    double worstPsnr = 0;
    std::size_t worstFrame = 0;
};

class FilmScore {
public:
    explicit FilmScore(int canvasSize);

    // False when FFmpeg or the reference file fails, or their frame counts differ.
    bool score(const QString& referencePath, const QString& filmPath, FilmScoreResult& result,
               std::string& error) const;

private:
    int m_canvasSize;
};
