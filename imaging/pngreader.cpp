// SPDX-License-Identifier: GPL-2.0-or-later
#include "imaging/pngreader.h"

#include <cstdlib>
#include <cstring>

// Each operation plants its own recovery point; nothing with a destructor lives between it and
// the libpng calls.
#define PNG_GUARD()                                                                                      \
    if (m_failed || !m_png)                                                                              \
        return false;                                                                                    \
    if (setjmp(png_jmpbuf(m_png))) {                                                                     \
        m_failed = true;                                                                                 \
        return false;                                                                                    \
    }

namespace {
// libpng refuses larger pictures by default; the services apply their own limits.
constexpr png_uint_32 kMaxSide = 0x7FFFFFFF;
} // namespace

PngReader::PngReader(QByteArray data) : m_data(std::move(data))
{
    m_png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, this, onError, onWarning, this, allocate, release);
    if (m_png)
        m_info = png_create_info_struct(m_png);
    if (!m_info) {
        m_outOfMemory = true;
        return;
    }
    png_set_read_fn(m_png, this, readData);
    png_set_user_limits(m_png, kMaxSide, kMaxSide);
}

PngReader::~PngReader()
{
    if (m_png)
        png_destroy_read_struct(&m_png, m_info ? &m_info : nullptr, nullptr);
}

void PngReader::readData(png_structp png, png_bytep out, png_size_t length)
{
    auto* reader = static_cast<PngReader*>(png_get_io_ptr(png));
    if (png_size_t(reader->m_data.size()) - reader->m_cursor < length) {
        reader->m_endedEarly = true;
        png_error(png, "the file ends before the picture does");
    }
    if (reader->m_cursor == reader->m_nextChunk && length >= 8) {
        // libpng allocates a text chunk's whole claimed length before it reads it: a few bytes
        // claiming 2 GB must not get that far.
        if (reader->claimsMoreThanTheFile()) {
            reader->m_endedEarly = true;
            png_error(png, "a chunk runs past the end of the file");
        }
        reader->m_nextChunk += 12 + png_get_uint_32(reinterpret_cast<png_const_bytep>(reader->m_data.constData()) + reader->m_cursor);
    }
    std::memcpy(out, reader->m_data.constData() + reader->m_cursor, length);
    reader->m_cursor += length;
}

bool PngReader::claimsMoreThanTheFile() const
{
    const auto* header = reinterpret_cast<png_const_bytep>(m_data.constData()) + m_cursor;
    const png_size_t claimed = png_get_uint_32(header);
    const png_size_t left = png_size_t(m_data.size()) - m_cursor - 8;
    // Pixel data cut short is decoded as far as it goes.
    return claimed > left && std::memcmp(header + 4, "IDAT", 4) != 0;
}

void PngReader::onError(png_structp png, png_const_charp message)
{
    auto* reader = static_cast<PngReader*>(png_get_error_ptr(png));
    std::strncpy(reader->m_failure, message, sizeof reader->m_failure - 1);
    png_longjmp(png, 1);
}

void PngReader::onWarning(png_structp, png_const_charp) {}

// libpng's own allocations, so that a failed one tells a want of memory from damage.
png_voidp PngReader::allocate(png_structp png, png_alloc_size_t bytes)
{
    void* memory = std::malloc(bytes);
    if (!memory)
        static_cast<PngReader*>(png_get_mem_ptr(png))->m_outOfMemory = true;
    return memory;
}

void PngReader::release(png_structp, png_voidp memory)
{
    std::free(memory);
}

DecodeFault PngReader::fault() const
{
    const QString words = QString::fromLocal8Bit(m_failure);
    if (m_outOfMemory)
        return DecodeFault(DecodeFault::Kind::NoResources, words);
    if (m_endedEarly)
        return DecodeFault(DecodeFault::Kind::CutShort, words);
    return m_failed ? DecodeFault(DecodeFault::Kind::Damaged, words) : DecodeFault();
}

void PngReader::limitAncillaryChunks(png_uint_32 count, png_alloc_size_t bytes)
{
    if (!m_info)
        return;
    png_set_chunk_cache_max(m_png, count);
    png_set_chunk_malloc_max(m_png, bytes);
}

bool PngReader::readHeader()
{
    PNG_GUARD();
    if (!m_info)
        return false;
    png_read_info(m_png, m_info);
    m_width = png_get_image_width(m_png, m_info);
    m_height = png_get_image_height(m_png, m_info);
    m_interlaced = png_get_interlace_type(m_png, m_info) != PNG_INTERLACE_NONE;
    const int colorType = png_get_color_type(m_png, m_info);
    m_hasAlpha = (colorType & PNG_COLOR_MASK_ALPHA) || png_get_valid(m_png, m_info, PNG_INFO_tRNS);
    return m_width > 0 && m_height > 0;
}

bool PngReader::startRows(int bytesPerPixel)
{
    PNG_GUARD();
    if (bytesPerPixel != 4 && (bytesPerPixel != 3 || m_hasAlpha))
        return false;
    png_set_expand(m_png);
    png_set_scale_16(m_png);
    png_set_gray_to_rgb(m_png);
    png_set_bgr(m_png);
    if (bytesPerPixel == 4)
        png_set_filler(m_png, 0xFF, PNG_FILLER_AFTER);
    png_read_update_info(m_png, m_info);
    return png_get_rowbytes(m_png, m_info) == png_size_t(m_width) * png_size_t(bytesPerPixel);
}

bool PngReader::readRow(unsigned char* row)
{
    PNG_GUARD();
    png_read_row(m_png, row, nullptr);
    return true;
}

bool PngReader::readEnd()
{
    PNG_GUARD();
    png_read_end(m_png, m_info);
    return true;
}

QList<QPair<QByteArray, QByteArray>> PngReader::texts() const
{
    QList<QPair<QByteArray, QByteArray>> pairs;
    png_textp text = nullptr;
    const int count = m_info ? png_get_text(m_png, m_info, &text, nullptr) : 0;
    for (int i = 0; i < count; ++i) {
        const png_size_t length = text[i].compression > 0 ? text[i].itxt_length : text[i].text_length;
        pairs.append({QByteArray(text[i].key), QByteArray(text[i].text, qsizetype(length))});
    }
    return pairs;
}
