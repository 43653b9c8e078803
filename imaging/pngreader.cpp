#include "imaging/pngreader.h"

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
    m_png = png_create_read_struct(PNG_LIBPNG_VER_STRING, this, onError, onWarning);
    if (m_png)
        m_info = png_create_info_struct(m_png);
    if (!m_info)
        return;
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
    if (png_size_t(reader->m_data.size()) - reader->m_cursor < length)
        png_error(png, "truncated");
    std::memcpy(out, reader->m_data.constData() + reader->m_cursor, length);
    reader->m_cursor += length;
}

void PngReader::onError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void PngReader::onWarning(png_structp, png_const_charp) {}

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
