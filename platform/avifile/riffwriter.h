// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Little-endian RIFF output over a film file. Small fields collect in a buffer; large payloads go
// straight to the file. Chunks are written through a start/end pair: start writes the FOURCC and
// a placeholder size, end pads the chunk to even length and patches its size. Failures are
// latched by the file and reported by flush() and status().

#include "platform/wintypes.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace avifile {

class FilmFile;

class RiffWriter {
public:
    explicit RiffWriter(FilmFile& file);

    std::uint64_t tell() const { return m_bufferStart + m_buffer.size(); }

    void putByte(std::uint8_t value);
    void putLe16(std::uint16_t value);
    void putLe32(std::uint32_t value);
    void putLe64(std::uint64_t value);
    void putFourCC(DWORD fourcc) { putLe32(fourcc); }
    void putZeros(std::size_t count);
    HRESULT putBytes(const void* data, std::size_t bytes);

    // Returns the offset of the chunk's FOURCC, to be handed to endChunk.
    std::uint64_t startChunk(DWORD fourcc);
    // A RIFF or LIST chunk with its form or list type.
    std::uint64_t startList(DWORD listFourCC, DWORD type);
    void endChunk(std::uint64_t chunkStart);
    // A whole chunk whose payload is known: header, payload and pad byte.
    HRESULT writeChunk(DWORD fourcc, const void* data, std::uint32_t bytes);

    // Overwrites bytes already written (in the buffer or in the file).
    void patch(std::uint64_t offset, const void* data, std::size_t bytes);
    void patchLe32(std::uint64_t offset, std::uint32_t value);
    void patchLe64(std::uint64_t offset, std::uint64_t value);
    void patchFourCC(std::uint64_t offset, DWORD fourcc) { patchLe32(offset, fourcc); }

    HRESULT flush();
    HRESULT status() const;

private:
    void spill();

    FilmFile& m_file;
    std::vector<std::uint8_t> m_buffer;
    std::uint64_t m_bufferStart = 0;
};

} // namespace avifile
