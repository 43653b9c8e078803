// SPDX-License-Identifier: GPL-2.0-or-later
#include "filmscore.h"

#include "canvasset.h"
#include "childprocess.h"

#include <fstream>
#include <vector>

FilmScore::FilmScore(int canvasSize)
    : m_canvasSize(canvasSize)
{
}

bool FilmScore::score(const QString& referencePath, const QString& filmPath, FilmScoreResult& result,
                      std::string& error) const
{
    const std::size_t frameBytes = std::size_t(m_canvasSize) * m_canvasSize * 3;
    std::ifstream references(referencePath.toStdString(), std::ios::binary);
    ChildProcess decoder;
    if (!references || !decoder.start({"ffmpeg", "-nostdin", "-v", "error", "-i", filmPath.toStdString(), "-f",
                                       "rawvideo", "-pix_fmt", "bgr24", "-"},
                                      true)) {
        error = "cannot read " + referencePath.toStdString() + " or start ffmpeg";
        return false;
    }
    result = {};
    std::vector<std::uint8_t> reference(frameBytes), decoded(frameBytes);
    double total = 0;
    while (references.read(reinterpret_cast<char*>(reference.data()), std::streamsize(frameBytes))) {
        ++result.references;
        if (!decoder.readExactly(decoded.data(), frameBytes))
            continue;
        const double psnr = CanvasSet::psnr(reference, decoded.data());
        if (result.frames == 0 || psnr < result.worstPsnr) {
            result.worstPsnr = psnr;
            result.worstFrame = result.frames;
        }
        total += psnr;
        ++result.frames;
    }
    const bool extraFrame = decoder.readExactly(decoded.data(), 1);
    const int exitCode = decoder.wait();
    result.meanPsnr = result.frames ? total / double(result.frames) : 0;
    if (exitCode != 0 || extraFrame || result.frames != result.references || result.frames == 0) {
        error = filmPath.toStdString() + ": FFmpeg decoded " + std::to_string(result.frames) + (extraFrame ? "+" : "")
            + " frames of " + std::to_string(result.references) + ", exit " + std::to_string(exitCode);
        return false;
    }
    return true;
}
