// SPDX-License-Identifier: GPL-2.0-or-later
#include "riffchunk.h"

#include <filesystem>
#include <fstream>

namespace {

bool isList(const std::string& id)
{
    return id == "RIFF" || id == "LIST";
}

std::vector<RiffChunk> readChunks(std::ifstream& in, std::uint64_t begin, std::uint64_t end, bool& complete)
{
    std::vector<RiffChunk> chunks;
    std::uint64_t at = begin;
    while (at + 8 <= end) {
        char header[12] = {};
        in.seekg(static_cast<std::streamoff>(at));
        in.read(header, 12);
        RiffChunk chunk;
        chunk.id.assign(header, 4);
        chunk.offset = at;
        chunk.size = le32(std::string(header, 8), 4);
        std::uint64_t next = at + 8 + chunk.size + (chunk.size & 1);
        if (at + 8 + chunk.size > end) {
            complete = false;
            return chunks;
        }
        if (isList(chunk.id) && chunk.size >= 4) {
            chunk.type.assign(header + 8, 4);
            chunk.children = readChunks(in, at + 12, at + 8 + chunk.size, complete);
        }
        chunks.push_back(std::move(chunk));
        at = next;
    }
    return chunks;
}

} // namespace

const RiffChunk* RiffChunk::find(const std::string& idOrType) const
{
    for (const RiffChunk& child : children)
        if (child.id == idOrType || child.type == idOrType)
            return &child;
    return nullptr;
}

std::vector<RiffChunk> readRiffTree(const std::string& path, bool* complete)
{
    std::ifstream in(path, std::ios::binary);
    bool whole = true;
    std::vector<RiffChunk> chunks = readChunks(in, 0, std::filesystem::file_size(path), whole);
    if (complete)
        *complete = whole;
    return chunks;
}

std::string readBytes(const std::string& path, std::uint64_t offset, std::size_t count)
{
    std::ifstream in(path, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(offset));
    std::string bytes(count, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(count));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

std::uint16_t le16(const std::string& bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(std::uint8_t(bytes.at(at)) | (std::uint8_t(bytes.at(at + 1)) << 8));
}

std::uint32_t le32(const std::string& bytes, std::size_t at)
{
    return le16(bytes, at) | (std::uint32_t(le16(bytes, at + 2)) << 16);
}

std::uint64_t le64(const std::string& bytes, std::size_t at)
{
    return le32(bytes, at) | (std::uint64_t(le32(bytes, at + 4)) << 32);
}
