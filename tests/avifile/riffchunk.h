// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// An independent reader of a RIFF file's chunk tree, for checking the layout the writer produced.

#include <cstdint>
#include <string>
#include <vector>

struct RiffChunk {
    std::string id;   // "RIFF", "LIST", "avih", ...
    std::string type; // form or list type of RIFF and LIST chunks
    std::uint64_t offset = 0; // of the chunk's FOURCC
    std::uint32_t size = 0;
    std::vector<RiffChunk> children;

    // The first child with this id (or this list type); nullptr when there is none.
    const RiffChunk* find(const std::string& idOrType) const;
    std::uint64_t payloadOffset() const { return offset + 8; }
};

// Top-level chunks of the file; `complete` is false when a size runs past the end.
std::vector<RiffChunk> readRiffTree(const std::string& path, bool* complete = nullptr);
std::string readBytes(const std::string& path, std::uint64_t offset, std::size_t count);
std::uint32_t le32(const std::string& bytes, std::size_t at);
std::uint16_t le16(const std::string& bytes, std::size_t at);
std::uint64_t le64(const std::string& bytes, std::size_t at);
