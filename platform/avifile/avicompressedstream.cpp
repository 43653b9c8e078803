// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/avifile/avicompressedstream.h"

#include "platform/avifile/aviformat.h"
#include "platform/avifile/avifilestream.h"

#include <cstdlib>
#include <cstring>

namespace {
// rcFrame holds 16-bit coordinates.
constexpr LONG kMaxSide = 32767;

std::int64_t rowsOf(const BITMAPINFOHEADER& format)
{
    return format.biHeight < 0 ? -std::int64_t(format.biHeight) : format.biHeight;
}

std::int64_t inputImageBytes(const BITMAPINFOHEADER& format)
{
    return DibRowStride(format.biWidth, 24) * rowsOf(format);
}
} // namespace

AviCompressedStream::AviCompressedStream(AviFileStream* film, int quality) : m_film(film), m_quality(quality)
{
    m_film->addRef();
}

AviCompressedStream::~AviCompressedStream()
{
    m_film->release();
}

bool AviCompressedStream::isVideo1Handler(DWORD fccHandler)
{
    return fccHandler == avifile::fccMSVC || fccHandler == MakeFourCC('m', 's', 'v', 'c') ||
           fccHandler == MakeFourCC('C', 'R', 'A', 'M') || fccHandler == MakeFourCC('c', 'r', 'a', 'm');
}

HRESULT AviCompressedStream::setFormat(LONG position, const void* format, LONG formatBytes)
{
    if (!format)
        return AVIERR_BADPARAM;
    if (position != 0 || length() > 0)
        return AVIERR_UNSUPPORTED;
    if (formatBytes < LONG(sizeof(BITMAPINFOHEADER)))
        return AVIERR_BADFORMAT;
    BITMAPINFOHEADER input;
    std::memcpy(&input, format, sizeof input);
    HRESULT result = checkInputFormat(input);
    if (result != AVIERR_OK)
        return result;
    auto encoder = std::make_unique<video1::Video1Encoder>(input.biWidth, static_cast<int>(rowsOf(input)),
                                                           video1::EncoderOptions{m_quality, 0});
    if (!encoder->valid())
        return AVIERR_BADFORMAT;
    BITMAPINFOHEADER output = outputFormat(input);
    if ((result = m_film->setFormat(0, &output, sizeof output)) != AVIERR_OK)
        return result;
    m_input = input;
    m_encoder = std::move(encoder);
    return AVIERR_OK;
}

HRESULT AviCompressedStream::write(LONG start, LONG samples, const void* data, LONG bytes, DWORD,
                                   LONG* samplesWritten, LONG* bytesWritten)
{
    if (!m_encoder)
        return AVIERR_BADFORMAT;
    if (start != length() || samples != 1 || !data)
        return AVIERR_BADPARAM;
    if (bytes < inputImageBytes(m_input))
        return AVIERR_BADSIZE;
    if (!m_encoder->encodeBgr24(static_cast<const std::uint8_t*>(data), DibRowStride(m_input.biWidth, 24),
                                m_input.biHeight > 0, m_encoded))
        return AVIERR_COMPRESSOR;
    if (m_encoded.size() > avifile::AVI_MAX_CHUNK_PAYLOAD)
        return AVIERR_BADSIZE;
    LONG encodedBytes = static_cast<LONG>(m_encoded.size());
    HRESULT result = m_film->write(start, 1, m_encoded.data(), encodedBytes, AVIIF_KEYFRAME, nullptr, nullptr);
    if (result != AVIERR_OK)
        return result;
    if (samplesWritten)
        *samplesWritten = 1;
    if (bytesWritten)
        *bytesWritten = encodedBytes;
    return AVIERR_OK;
}

LONG AviCompressedStream::length() const
{
    return m_film->length();
}

HRESULT AviCompressedStream::checkInputFormat(const BITMAPINFOHEADER& input)
{
    if (input.biSize < sizeof(BITMAPINFOHEADER) || input.biBitCount != 24 || input.biCompression != BI_RGB)
        return AVIERR_BADFORMAT;
    std::int64_t rows = rowsOf(input);
    if (input.biWidth <= 0 || rows <= 0 || input.biWidth > kMaxSide || rows > kMaxSide)
        return AVIERR_BADFORMAT;
    if (input.biWidth % 4 != 0 || rows % 4 != 0)
        return AVIERR_BADFORMAT;
    return AVIERR_OK;
}

BITMAPINFOHEADER AviCompressedStream::outputFormat(const BITMAPINFOHEADER& input)
{
    BITMAPINFOHEADER output{};
    output.biSize = sizeof output;
    output.biWidth = input.biWidth;
    output.biHeight = static_cast<LONG>(rowsOf(input));
    output.biPlanes = 1;
    output.biBitCount = 16;
    output.biCompression = avifile::fccMSVC;
    output.biSizeImage = DWORD(output.biWidth) * DWORD(output.biHeight) * 2;
    return output;
}
