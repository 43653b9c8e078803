// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/avifile/avifile.h"

#include "platform/avifile/aviformat.h"
#include "platform/avifile/avicompressedstream.h"
#include "platform/avifile/avifileobject.h"
#include "platform/avifile/avifilestream.h"

#include <atomic>
#include <new>

namespace {

std::atomic<int> g_initCount{0};

// Nothing thrown inside the service reaches the caller: it becomes a result code.
template <typename Operation>
HRESULT guarded(Operation operation)
{
    try {
        return operation();
    } catch (const std::bad_alloc&) {
        return AVIERR_MEMORY;
    } catch (...) {
        return AVIERR_INTERNAL;
    }
}

int qualityFrom(const AVICOMPRESSOPTIONS& options)
{
    bool chosen = (options.dwFlags & AVICOMPRESSF_VALID) && options.dwQuality <= DWORD(video1::kMaxQuality);
    return chosen ? int(options.dwQuality) : video1::kDefaultQuality;
}

} // namespace

void AVIFileInit()
{
    ++g_initCount;
}

void AVIFileExit()
{
    int count = g_initCount.load();
    while (count > 0 && !g_initCount.compare_exchange_weak(count, count - 1)) {
    }
}

HRESULT AVIFileOpenA(PAVIFILE* file, const char* path, UINT mode, const void*)
{
    if (!file)
        return AVIERR_BADPARAM;
    *file = nullptr;
    if (!path)
        return AVIERR_BADPARAM;
    if (!(mode & OF_CREATE))
        return AVIERR_UNSUPPORTED;
    return guarded([&] { return AviFile::open(path, file); });
}

HRESULT AVIFileCreateStreamA(PAVIFILE file, PAVISTREAM* stream, AVISTREAMINFOA* info)
{
    if (!stream)
        return AVIERR_BADPARAM;
    *stream = nullptr;
    if (!file || !info)
        return AVIERR_BADPARAM;
    return guarded([&] { return file->createStream(*info, stream); });
}

HRESULT AVIMakeCompressedStream(PAVISTREAM* compressed, PAVISTREAM source, AVICOMPRESSOPTIONS* options,
                                const void*)
{
    if (!compressed)
        return AVIERR_BADPARAM;
    *compressed = nullptr;
    if (!source || !options)
        return AVIERR_BADPARAM;
    if (!AviCompressedStream::isVideo1Handler(options->fccHandler))
        return AVIERR_NOCOMPRESSOR;
    auto* film = dynamic_cast<AviFileStream*>(source);
    if (!film)
        return AVIERR_UNSUPPORTED;
    return guarded([&] {
        int quality = qualityFrom(*options);
        HRESULT result = film->setCompressor(avifile::fccMSVC, DWORD(quality));
        if (result == AVIERR_OK)
            *compressed = new AviCompressedStream(film, quality);
        return result;
    });
}

HRESULT AVIStreamSetFormat(PAVISTREAM stream, LONG position, void* format, LONG formatBytes)
{
    if (!stream)
        return AVIERR_BADPARAM;
    return guarded([&] { return stream->setFormat(position, format, formatBytes); });
}

HRESULT AVIStreamWrite(PAVISTREAM stream, LONG start, LONG samples, void* buffer, LONG bufferBytes, DWORD flags,
                       LONG* samplesWritten, LONG* bytesWritten)
{
    if (!stream)
        return AVIERR_BADPARAM;
    return guarded([&] {
        return stream->write(start, samples, buffer, bufferBytes, flags, samplesWritten, bytesWritten);
    });
}

ULONG AVIStreamRelease(PAVISTREAM stream)
{
    if (!stream)
        return 0;
    ULONG remaining = 0;
    guarded([&] {
        remaining = stream->release();
        return AVIERR_OK;
    });
    return remaining;
}

ULONG AVIFileRelease(PAVIFILE file)
{
    if (!file)
        return 0;
    ULONG remaining = 0;
    guarded([&] {
        remaining = file->release();
        return AVIERR_OK;
    });
    return remaining;
}

HRESULT AVIFileFinish(PAVIFILE file)
{
    if (!file)
        return AVIERR_BADPARAM;
    return guarded([&] { return file->finish(); });
}

HRESULT AVIFileDiscard(PAVIFILE file)
{
    if (!file)
        return AVIERR_BADPARAM;
    return guarded([&] { return file->discard(); });
}
