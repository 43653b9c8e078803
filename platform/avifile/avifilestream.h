// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A video stream of a film file: it keeps the caller's stream header, takes the format that
// becomes `strf` and stores each sample as one frame chunk.

#include "platform/avifile/avistream.h"
#include "platform/avifile/avimuxer.h"

class AviFileStream : public AviStream {
public:
    AviFileStream(AviFile* file, const AVISTREAMINFOA& info);

    HRESULT setFormat(LONG position, const void* format, LONG formatBytes) override;
    HRESULT write(LONG start, LONG samples, const void* data, LONG bytes, DWORD flags,
                  LONG* samplesWritten, LONG* bytesWritten) override;
    LONG length() const override { return m_length; }

    // A compressor laid over this stream names itself in the stream header.
    HRESULT setCompressor(DWORD handler, DWORD quality);

protected:
    ~AviFileStream() override;

private:
    AviFile* m_file;
    avifile::AviTrack m_track;
    bool m_hasFormat = false;
    LONG m_length = 0;
};
