// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The object behind PAVISTREAM: a reference-counted stream that takes a format and samples.

#include "platform/avifile/avifile.h"

struct AviStream {
public:
    AviStream(const AviStream&) = delete;
    AviStream& operator=(const AviStream&) = delete;

    ULONG addRef() { return ++m_references; }
    ULONG release();

    virtual HRESULT setFormat(LONG position, const void* format, LONG formatBytes) = 0;
    // Appends `samples` samples at `start`, which must be the stream's current length.
    virtual HRESULT write(LONG start, LONG samples, const void* data, LONG bytes, DWORD flags,
                          LONG* samplesWritten, LONG* bytesWritten) = 0;
    virtual LONG length() const = 0;

protected:
    AviStream() = default;
    virtual ~AviStream() = default;

private:
    ULONG m_references = 1;
};
