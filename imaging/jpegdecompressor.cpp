// SPDX-License-Identifier: GPL-2.0-or-later
#include "imaging/jpegdecompressor.h"

#include "imaging/pixelbudget.h"

#include <algorithm>
#include <cstring>

#include <jerror.h>

namespace {

constexpr std::int64_t kCoefficientBudgetBytes = kImagePixelBudget * 2;
// Headers hold a few segments of at most 64 KiB each (Exif, colour profiles, XMP).
constexpr qsizetype kMaxHeaderBytes = qsizetype(16) << 20;
const JOCTET kEndOfImage[] = {0xFF, JPEG_EOI};

} // namespace

// setjmp must be called in the frame that stays alive while libjpeg runs, so each operation
// plants its own recovery point; nothing with a destructor lives between it and the calls.
#define JPEG_GUARD()                                                                                     \
    if (m_failed)                                                                                        \
        return false;                                                                                    \
    if (setjmp(m_error.recovery)) {                                                                      \
        m_failed = true;                                                                                 \
        return false;                                                                                    \
    }

JpegDecompressor::JpegDecompressor(QByteArray data) : m_data(std::move(data))
{
    m_info.err = jpeg_std_error(&m_error.base);
    m_error.base.error_exit = onError;
    m_error.base.emit_message = onMessage;
    jpeg_create_decompress(&m_info);
    // libjpeg then refuses a coefficient buffer past the budget before allocating it (it has no
    // backing store), whatever slipped past coefficientsFitBudget().
    m_info.mem->max_memory_to_use = long(kCoefficientBudgetBytes);
    m_info.client_data = this;
    m_source.init_source = initSource;
    m_source.fill_input_buffer = fillInputBuffer;
    m_source.skip_input_data = skipInputData;
    m_source.resync_to_restart = jpeg_resync_to_restart;
    m_source.term_source = termSource;
    m_source.next_input_byte = reinterpret_cast<const JOCTET*>(m_data.constData());
    m_source.bytes_in_buffer = std::size_t(std::min(m_data.size(), kMaxHeaderBytes));
    m_headerWindowed = m_data.size() > kMaxHeaderBytes;
    m_info.src = &m_source;
}

JpegDecompressor::~JpegDecompressor()
{
    jpeg_destroy_decompress(&m_info);
}

void JpegDecompressor::giveUp(j_common_ptr info, const char* why)
{
    auto* error = reinterpret_cast<ErrorManager*>(info->err);
    std::strncpy(error->failure, why, sizeof error->failure - 1);
    std::longjmp(error->recovery, 1);
}

void JpegDecompressor::onError(j_common_ptr info)
{
    auto* error = reinterpret_cast<ErrorManager*>(info->err);
    // Its own limit on memory (max_memory_to_use) says "backing store", a failed malloc this.
    error->outOfMemory = info->err->msg_code == JERR_OUT_OF_MEMORY;
    info->err->format_message(info, error->failure);
    std::longjmp(error->recovery, 1);
}

// Warnings about damaged data are passed over, as every viewer does, the first one kept for the
// log; running out of data is noted (libjpeg then feeds an end-of-image marker and fills the
// rest with empty blocks).
void JpegDecompressor::onMessage(j_common_ptr info, int level)
{
    if (level >= 0)
        return;
    auto* error = reinterpret_cast<ErrorManager*>(info->err);
    if (info->err->msg_code == JWRN_JPEG_EOF)
        error->endedEarly = true;
    if (!error->warning[0])
        info->err->format_message(info, error->warning);
}

DecodeFault JpegDecompressor::fault() const
{
    const QString failure = QString::fromLocal8Bit(m_error.failure);
    if (m_error.outOfMemory)
        return DecodeFault(DecodeFault::Kind::NoResources, failure);
    if (m_error.endedEarly)
        return DecodeFault(DecodeFault::Kind::CutShort, QString::fromLocal8Bit(m_error.warning));
    if (m_failed)
        return DecodeFault(DecodeFault::Kind::Damaged, failure);
    if (m_error.warning[0])
        return DecodeFault(DecodeFault::Kind::Damaged, QString::fromLocal8Bit(m_error.warning));
    return DecodeFault();
}

bool JpegDecompressor::readHeader()
{
    JPEG_GUARD();
    if (jpeg_read_header(&m_info, TRUE) != JPEG_HEADER_OK || m_info.image_width == 0 || m_info.image_height == 0)
        return false;
    // The bytes lie one after the other: the rest of the file follows the window.
    if (m_headerWindowed) {
        m_source.bytes_in_buffer += std::size_t(m_data.size() - kMaxHeaderBytes);
        m_headerWindowed = false;
    }
    return true;
}

void JpegDecompressor::initSource(j_decompress_ptr) {}

void JpegDecompressor::termSource(j_decompress_ptr) {}

// libjpeg asks for more only when it has read everything it was given: past the header's window
// that ends the attempt; at the end of the file libjpeg is given an end-of-image marker, as its
// own memory source does, with a warning.
boolean JpegDecompressor::fillInputBuffer(j_decompress_ptr info)
{
    auto* self = static_cast<JpegDecompressor*>(info->client_data);
    if (self->m_headerWindowed)
        giveUp(reinterpret_cast<j_common_ptr>(info), "no picture data within the first 16 MiB");
    WARNMS(info, JWRN_JPEG_EOF);
    info->src->next_input_byte = kEndOfImage;
    info->src->bytes_in_buffer = sizeof kEndOfImage;
    return TRUE;
}

void JpegDecompressor::skipInputData(j_decompress_ptr info, long count)
{
    if (count <= 0)
        return;
    if (std::size_t(count) > info->src->bytes_in_buffer) {
        fillInputBuffer(info); // past the window or the end of the file
        return;
    }
    info->src->next_input_byte += count;
    info->src->bytes_in_buffer -= std::size_t(count);
}

bool JpegDecompressor::isCmyk() const
{
    return m_info.jpeg_color_space == JCS_CMYK || m_info.jpeg_color_space == JCS_YCCK;
}

bool JpegDecompressor::hasPictureData() const
{
    return m_info.src && m_info.src->bytes_in_buffer > 0 && !m_error.endedEarly;
}

bool JpegDecompressor::coefficientsFitBudget()
{
    JPEG_GUARD();
    if (!jpeg_has_multiple_scans(&m_info))
        return true;
    std::int64_t bytes = 0;
    for (int i = 0; i < m_info.num_components; ++i) {
        const jpeg_component_info& component = m_info.comp_info[i];
        bytes += std::int64_t(component.width_in_blocks) * component.height_in_blocks * DCTSIZE2 * sizeof(JCOEF);
    }
    return bytes <= kCoefficientBudgetBytes;
}

bool JpegDecompressor::start(int denominator, int bytesPerPixel)
{
    JPEG_GUARD();
    m_info.scale_num = 1;
    m_info.scale_denom = unsigned(denominator);
    m_info.out_color_space = bytesPerPixel == 3 ? JCS_EXT_BGR : JCS_EXT_BGRA;
    if (denominator == 8 && jpeg_has_multiple_scans(&m_info))
        return startFromDcScans();
    return jpeg_start_decompress(&m_info) != 0;
}

// At 1/8 of the size each block becomes one pixel: its DC coefficient. A progressive file sends
// the DC coefficients of all blocks first, so the rest of the file need not be decoded (the DC
// may still lack its last refinement bits, a difference of under one grey level).
bool JpegDecompressor::startFromDcScans()
{
    m_info.buffered_image = TRUE;
    m_info.do_block_smoothing = FALSE;
    if (!jpeg_start_decompress(&m_info))
        return false;
    for (;;) {
        const int state = jpeg_consume_input(&m_info);
        if (state == JPEG_REACHED_EOI || state == JPEG_SUSPENDED)
            break;
        if (state == JPEG_SCAN_COMPLETED && hasAllDcCoefficients())
            break;
    }
    return jpeg_start_output(&m_info, m_info.input_scan_number) != 0;
}

bool JpegDecompressor::hasAllDcCoefficients() const
{
    if (!m_info.coef_bits)
        return false;
    for (int component = 0; component < m_info.num_components; ++component)
        if (m_info.coef_bits[component][0] < 0)
            return false;
    return true;
}

bool JpegDecompressor::cropColumns(int* left, int* width)
{
    JPEG_GUARD();
    JDIMENSION offset = JDIMENSION(*left), columns = JDIMENSION(*width);
    jpeg_crop_scanline(&m_info, &offset, &columns);
    *left = int(offset);
    *width = int(columns);
    return true;
}

bool JpegDecompressor::skipRows(int count)
{
    JPEG_GUARD();
    return count <= 0 || jpeg_skip_scanlines(&m_info, JDIMENSION(count)) == JDIMENSION(count);
}

bool JpegDecompressor::readRows(unsigned char** rows, int count)
{
    JPEG_GUARD();
    int done = 0;
    while (done < count) {
        const JDIMENSION read = jpeg_read_scanlines(&m_info, rows + done, JDIMENSION(count - done));
        if (read == 0)
            return false;
        done += int(read);
    }
    return true;
}
