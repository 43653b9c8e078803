// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/avifile/avifilestream.h"

#include "platform/avifile/avifileobject.h"

AviFileStream::AviFileStream(AviFile* file, const AVISTREAMINFOA& info) : m_file(file)
{
    m_track.info = info;
    m_file->addRef();
}

AviFileStream::~AviFileStream()
{
    m_file->release();
}

HRESULT AviFileStream::setFormat(LONG position, const void* format, LONG formatBytes)
{
    if (!format || formatBytes <= 0)
        return AVIERR_BADPARAM;
    if (position != 0 || m_length > 0)
        return AVIERR_UNSUPPORTED;
    avifile::AviTrack track = m_track;
    const auto* bytes = static_cast<const std::uint8_t*>(format);
    track.format.assign(bytes, bytes + formatBytes);
    HRESULT result = m_file->setTrack(track);
    if (result != AVIERR_OK)
        return result;
    m_track = std::move(track);
    m_hasFormat = true;
    return AVIERR_OK;
}

HRESULT AviFileStream::write(LONG start, LONG samples, const void* data, LONG bytes, DWORD flags,
                             LONG* samplesWritten, LONG* bytesWritten)
{
    if (!m_hasFormat)
        return AVIERR_BADFORMAT;
    if (start != m_length || samples != 1 || bytes < 0 || (bytes > 0 && !data))
        return AVIERR_BADPARAM;
    HRESULT result = m_file->writeFrame(data, static_cast<std::size_t>(bytes), (flags & AVIIF_KEYFRAME) != 0);
    if (result != AVIERR_OK)
        return result;
    ++m_length;
    if (samplesWritten)
        *samplesWritten = 1;
    if (bytesWritten)
        *bytesWritten = bytes;
    return AVIERR_OK;
}

HRESULT AviFileStream::setCompressor(DWORD handler, DWORD quality)
{
    if (m_length > 0)
        return AVIERR_UNSUPPORTED;
    m_track.info.fccHandler = handler;
    m_track.info.dwQuality = quality;
    return m_hasFormat ? m_file->setTrack(m_track) : AVIERR_OK;
}
