// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/avifile/riffwriter.h"

#include "platform/avifile/avifile.h"
#include "platform/avifile/filmfile.h"

#include <cstring>

namespace avifile {

namespace {
// Payloads at least this large bypass the buffer; the buffer is written out when it grows past it.
constexpr std::size_t kDirectWriteBytes = 256 * 1024;
} // namespace

RiffWriter::RiffWriter(FilmFile& file) : m_file(file)
{
    m_buffer.reserve(kDirectWriteBytes);
}

void RiffWriter::putByte(std::uint8_t value)
{
    m_buffer.push_back(value);
    spill();
}

void RiffWriter::putLe16(std::uint16_t value)
{
    putByte(static_cast<std::uint8_t>(value));
    putByte(static_cast<std::uint8_t>(value >> 8));
}

void RiffWriter::putLe32(std::uint32_t value)
{
    putLe16(static_cast<std::uint16_t>(value));
    putLe16(static_cast<std::uint16_t>(value >> 16));
}

void RiffWriter::putLe64(std::uint64_t value)
{
    putLe32(static_cast<std::uint32_t>(value));
    putLe32(static_cast<std::uint32_t>(value >> 32));
}

void RiffWriter::putZeros(std::size_t count)
{
    m_buffer.insert(m_buffer.end(), count, 0);
    spill();
}

HRESULT RiffWriter::putBytes(const void* data, std::size_t bytes)
{
    if (bytes < kDirectWriteBytes) {
        const auto* begin = static_cast<const std::uint8_t*>(data);
        m_buffer.insert(m_buffer.end(), begin, begin + bytes);
        spill();
        return status();
    }
    HRESULT result = flush();
    if (result != AVIERR_OK)
        return result;
    result = m_file.writeAt(m_bufferStart, data, bytes);
    m_bufferStart += bytes;
    return result;
}

std::uint64_t RiffWriter::startChunk(DWORD fourcc)
{
    std::uint64_t start = tell();
    putFourCC(fourcc);
    putLe32(0);
    return start;
}

std::uint64_t RiffWriter::startList(DWORD listFourCC, DWORD type)
{
    std::uint64_t start = startChunk(listFourCC);
    putFourCC(type);
    return start;
}

void RiffWriter::endChunk(std::uint64_t chunkStart)
{
    std::uint64_t payload = tell() - chunkStart - 8;
    if (payload & 1)
        putZeros(1);
    patchLe32(chunkStart + 4, static_cast<std::uint32_t>(payload));
}

HRESULT RiffWriter::writeChunk(DWORD fourcc, const void* data, std::uint32_t bytes)
{
    putFourCC(fourcc);
    putLe32(bytes);
    HRESULT result = putBytes(data, bytes);
    if (bytes & 1)
        putZeros(1);
    return result;
}

void RiffWriter::patch(std::uint64_t offset, const void* data, std::size_t bytes)
{
    if (offset + bytes > tell())
        return;
    if (offset >= m_bufferStart) {
        std::memcpy(m_buffer.data() + (offset - m_bufferStart), data, bytes);
        return;
    }
    if (offset + bytes > m_bufferStart && flush() != AVIERR_OK)
        return;
    m_file.writeAt(offset, data, bytes); // a failure is latched by the file
}

void RiffWriter::patchLe64(std::uint64_t offset, std::uint64_t value)
{
    patchLe32(offset, static_cast<std::uint32_t>(value));
    patchLe32(offset + 4, static_cast<std::uint32_t>(value >> 32));
}

void RiffWriter::patchLe32(std::uint64_t offset, std::uint32_t value)
{
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                   static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    patch(offset, bytes, sizeof bytes);
}

HRESULT RiffWriter::flush()
{
    if (m_buffer.empty())
        return status();
    HRESULT result = m_file.writeAt(m_bufferStart, m_buffer.data(), m_buffer.size());
    m_bufferStart += m_buffer.size();
    m_buffer.clear();
    return result;
}

void RiffWriter::spill()
{
    if (m_buffer.size() >= kDirectWriteBytes)
        flush(); // a failure is latched by the file
}

HRESULT RiffWriter::status() const
{
    return m_file.status();
}

} // namespace avifile
