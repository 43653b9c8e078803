// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Wraps Microsoft Video 1 frames in the smallest AVI file FFmpeg reads, so that the tests can
// hand our frames to an independent decoder.

#include <cstdint>
#include <string>
#include <vector>

class AviClipWriter {
public:
    AviClipWriter(int width, int height);

    void addFrame(const std::vector<std::uint8_t>& frame);
    bool save(const std::string& path) const;

private:
    std::size_t beginChunk(std::vector<std::uint8_t>& out, const char* fourcc) const;
    std::size_t beginList(std::vector<std::uint8_t>& out, const char* listType, const char* fourcc) const;
    void endChunk(std::vector<std::uint8_t>& out, std::size_t start) const;
    void writeHeaders(std::vector<std::uint8_t>& out) const;
    void writeMovieAndIndex(std::vector<std::uint8_t>& out) const;

    int m_width;
    int m_height;
    std::vector<std::vector<std::uint8_t>> m_frames;
};
