// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The frames a benchmark encodes: square 24-bit BGR canvases (top row first), each holding one
// photo copied unscaled to its top-left corner, the rest black.

#include <cstdint>
#include <string>
#include <vector>

class CanvasSet {
public:
    explicit CanvasSet(int size);

    // Adds a canvas for every JPEG or PNG of the folder, in name order.
    bool addPhotosOf(const std::string& folder, std::string& error);
    // Reads or writes the canvases as one raw file of frames.
    bool load(const std::string& path, std::string& error);
    bool save(const std::string& path, std::string& error) const;

    int size() const { return m_size; }
    std::size_t frameBytes() const { return std::size_t(m_size) * m_size * 3; }
    std::size_t count() const { return m_frames.size(); }
    const std::vector<std::uint8_t>& frame(std::size_t index) const { return m_frames[index]; }

    // Mean over the canvases of each one's PSNR (in dB) against the frames of `path`.
    bool meanPsnrAgainst(const std::string& path, double& psnr, std::string& error) const;
    static double psnr(const std::vector<std::uint8_t>& reference, const std::uint8_t* other);

private:
    bool addPhoto(const std::string& path);

    int m_size;
    std::vector<std::vector<std::uint8_t>> m_frames;
};
