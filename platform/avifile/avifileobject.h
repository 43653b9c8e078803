// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The object behind PAVIFILE: one film being written, with its reference count. Streams hold a
// reference on their file; the last reference completes the film unless it was finished or
// discarded before.

#include "platform/avifile/avifile.h"
#include "platform/avifile/avimuxer.h"
#include "platform/avifile/filmfile.h"

#include <string>

struct AviFile {
public:
    static HRESULT open(const std::string& path, AviFile** file);
    AviFile(const AviFile&) = delete;
    AviFile& operator=(const AviFile&) = delete;

    ULONG addRef() { return ++m_references; }
    ULONG release();

    HRESULT createStream(const AVISTREAMINFOA& info, AviStream** stream);
    HRESULT finish();
    HRESULT discard();

    // Used by the file's stream.
    HRESULT setTrack(const avifile::AviTrack& track);
    HRESULT writeFrame(const void* data, std::size_t bytes, bool keyFrame);

private:
    AviFile() = default;
    ~AviFile() = default;

    ULONG m_references = 1;
    avifile::FilmFile m_file;
    avifile::AviMuxer m_muxer{m_file};
    bool m_hasStream = false;
    bool m_closed = false;
    HRESULT m_closeResult = AVIERR_OK;
};
