// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/avifile/avifileobject.h"

#include "platform/avifile/avifilestream.h"

#include <new>

HRESULT AviFile::open(const std::string& path, AviFile** file)
{
    auto* created = new (std::nothrow) AviFile;
    if (!created)
        return AVIERR_MEMORY;
    HRESULT result = created->m_file.create(path);
    if (result != AVIERR_OK) {
        delete created;
        return result;
    }
    *file = created;
    return AVIERR_OK;
}

ULONG AviFile::release()
{
    ULONG remaining = --m_references;
    if (remaining == 0) {
        finish(); // nobody is left to hear the result; a failed film is removed all the same
        delete this;
    }
    return remaining;
}

HRESULT AviFile::createStream(const AVISTREAMINFOA& info, AviStream** stream)
{
    if (m_closed)
        return AVIERR_UNSUPPORTED;
    if (m_hasStream || info.fccType != streamtypeVIDEO)
        return AVIERR_UNSUPPORTED;
    if (info.dwRate == 0 || info.dwScale == 0)
        return AVIERR_BADPARAM;
    *stream = new AviFileStream(this, info);
    m_hasStream = true;
    return AVIERR_OK;
}

HRESULT AviFile::finish()
{
    if (m_closed)
        return m_closeResult;
    m_closed = true;
    m_closeResult = m_muxer.finish();
    if (m_closeResult == AVIERR_OK)
        m_closeResult = m_file.commit();
    else
        m_file.discard();
    return m_closeResult;
}

HRESULT AviFile::discard()
{
    if (!m_closed) {
        m_closed = true;
        m_file.discard();
    }
    return AVIERR_OK;
}

HRESULT AviFile::setTrack(const avifile::AviTrack& track)
{
    return m_closed ? AVIERR_UNSUPPORTED : m_muxer.setTrack(track);
}

HRESULT AviFile::writeFrame(const void* data, std::size_t bytes, bool keyFrame)
{
    return m_closed ? AVIERR_UNSUPPORTED : m_muxer.writeFrame(data, bytes, keyFrame);
}
