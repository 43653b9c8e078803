// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The AVI file service: the Video for Windows AVIFile operations the film writer calls, writing
// RIFF AVI that continues as OpenDML (AVI 2.0) past 1 GiB, with the Microsoft Video 1 codec
// behind AVIMakeCompressedStream. Result codes are those of Video for Windows.

#include "platform/wintypes.h"

#include <cstdint>
#include <functional>

struct AviFile;
struct AviStream;
using PAVIFILE = AviFile*;
using PAVISTREAM = AviStream*;
using ULONG = std::uint32_t;

constexpr HRESULT AVIERR_OK = 0;
constexpr HRESULT AVIERR_UNSUPPORTED = HRESULT(0x80044065);
constexpr HRESULT AVIERR_BADFORMAT = HRESULT(0x80044066);
constexpr HRESULT AVIERR_MEMORY = HRESULT(0x80044067);
constexpr HRESULT AVIERR_INTERNAL = HRESULT(0x80044068);
constexpr HRESULT AVIERR_BADFLAGS = HRESULT(0x80044069);
constexpr HRESULT AVIERR_BADPARAM = HRESULT(0x8004406A);
constexpr HRESULT AVIERR_BADSIZE = HRESULT(0x8004406B);
constexpr HRESULT AVIERR_BADHANDLE = HRESULT(0x8004406C);
constexpr HRESULT AVIERR_FILEREAD = HRESULT(0x8004406D);
constexpr HRESULT AVIERR_FILEWRITE = HRESULT(0x8004406E);
constexpr HRESULT AVIERR_FILEOPEN = HRESULT(0x8004406F);
constexpr HRESULT AVIERR_COMPRESSOR = HRESULT(0x80044070);
constexpr HRESULT AVIERR_NOCOMPRESSOR = HRESULT(0x80044071);
constexpr HRESULT AVIERR_READONLY = HRESULT(0x80044072);
constexpr HRESULT AVIERR_NODATA = HRESULT(0x80044073);
constexpr HRESULT AVIERR_BUFFERTOOSMALL = HRESULT(0x80044074);
constexpr HRESULT AVIERR_CANTCOMPRESS = HRESULT(0x80044075);

constexpr UINT OF_WRITE = 0x0001;
constexpr UINT OF_CREATE = 0x1000;
constexpr DWORD AVIIF_KEYFRAME = 0x10;
constexpr DWORD AVICOMPRESSF_VALID = 0x08;
constexpr DWORD streamtypeVIDEO = MakeFourCC('v', 'i', 'd', 's');

struct AVISTREAMINFOA {
    DWORD fccType;
    DWORD fccHandler;
    DWORD dwFlags;
    DWORD dwCaps;
    WORD wPriority;
    WORD wLanguage;
    DWORD dwScale;
    DWORD dwRate;
    DWORD dwStart;
    DWORD dwLength;
    DWORD dwInitialFrames;
    DWORD dwSuggestedBufferSize;
    DWORD dwQuality;
    DWORD dwSampleSize;
    RECT rcFrame;
    DWORD dwEditCount;
    DWORD dwFormatChangeCount;
    char szName[64];
};
static_assert(sizeof(AVISTREAMINFOA) == 140, "AVISTREAMINFOA is 140 bytes");

struct AVICOMPRESSOPTIONS {
    DWORD fccType;
    DWORD fccHandler;
    DWORD dwKeyFrameEvery;
    DWORD dwQuality;
    DWORD dwBytesPerSecond;
    DWORD dwFlags;
    void* lpFormat;
    DWORD cbFormat;
    void* lpParms;
    DWORD cbParms;
    DWORD dwInterleaveEvery;
};

void AVIFileInit();
void AVIFileExit();
HRESULT AVIFileOpenA(PAVIFILE* file, const char* path, UINT mode, const void* handler);
HRESULT AVIFileCreateStreamA(PAVIFILE file, PAVISTREAM* stream, AVISTREAMINFOA* info);
HRESULT AVIMakeCompressedStream(PAVISTREAM* compressed, PAVISTREAM source, AVICOMPRESSOPTIONS* options,
                                const void* handler);
HRESULT AVIStreamSetFormat(PAVISTREAM stream, LONG position, void* format, LONG formatBytes);
HRESULT AVIStreamWrite(PAVISTREAM stream, LONG start, LONG samples, void* buffer, LONG bufferBytes,
                       DWORD flags, LONG* samplesWritten, LONG* bytesWritten);
ULONG AVIStreamRelease(PAVISTREAM stream);
ULONG AVIFileRelease(PAVIFILE file);

// Extensions of this service, for the faults the program mends. A film is written beside its
// target under a temporary name and takes the target's name only when it is complete.
//
// AVIFileFinish completes the film now (indexes, headers, rename over the target) and returns
// AVIERR_OK, or the first failure met since the file was opened; on failure the partial file is
// removed and an earlier file of that name is left as it was. AVIFileDiscard drops the film the
// same way without completing it. After either, AVIFileRelease only gives back the reference.
// A file whose last reference goes without either is completed, as in Video for Windows.
HRESULT AVIFileFinish(PAVIFILE file);
HRESULT AVIFileDiscard(PAVIFILE file);

namespace avifile {
// Test seam: called before every write to a film file with the file offset and byte count;
// returning true makes that write fail as a full disk would. Pass an empty function to remove.
using WriteFaultHook = std::function<bool(std::uint64_t offset, std::uint64_t bytes)>;
void SetWriteFaultHookForTesting(WriteFaultHook hook);
} // namespace avifile
