// SPDX-License-Identifier: GPL-2.0-or-later
#include "imaging/tiffsizecheck.h"

#include "imaging/pixelbudget.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstring>
#include <memory>

namespace {

constexpr std::uint64_t kSampleBudgetBytes = std::uint64_t(kImagePixelBudget) * 8;
constexpr unsigned kMaxBitsPerPixel = 128;
// Tiles may be larger than a small picture; this much is cheap whatever the picture.
constexpr std::uint64_t kAnyChunkBytes = 16 * 1024 * 1024;

// libtiff reads the file through these, from the bytes in memory.
struct MemoryFile {
    const QByteArray& data;
    toff_t position = 0;
};

tmsize_t readFile(thandle_t handle, void* buffer, tmsize_t size)
{
    auto* file = static_cast<MemoryFile*>(handle);
    const toff_t length = toff_t(file->data.size());
    if (size < 0 || file->position >= length)
        return 0;
    const tmsize_t count = tmsize_t(std::min<toff_t>(toff_t(size), length - file->position));
    std::memcpy(buffer, file->data.constData() + file->position, size_t(count));
    file->position += toff_t(count);
    return count;
}

tmsize_t writeFile(thandle_t, void*, tmsize_t)
{
    return -1;
}

toff_t seekFile(thandle_t handle, toff_t offset, int whence)
{
    auto* file = static_cast<MemoryFile*>(handle);
    const toff_t base = whence == SEEK_CUR ? file->position : whence == SEEK_END ? toff_t(file->data.size()) : 0;
    file->position = base + offset;
    return file->position;
}

int closeFile(thandle_t)
{
    return 0;
}

toff_t fileSize(thandle_t handle)
{
    return toff_t(static_cast<MemoryFile*>(handle)->data.size());
}

int quiet(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

struct TiffCloser {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};

struct OptionsFree {
    void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};

} // namespace

bool TiffSizeCheck::isTiff(const QByteArray& data)
{
    return data.startsWith(QByteArray("II*\0", 4)) || data.startsWith(QByteArray("MM\0*", 4)) ||
           data.startsWith(QByteArray("II+\0", 4)) || data.startsWith(QByteArray("MM\0+", 4));
}

bool TiffSizeCheck::fitsBudget(const QByteArray& data)
{
    std::unique_ptr<TIFFOpenOptions, OptionsFree> options(TIFFOpenOptionsAlloc());
    if (!options)
        return false;
    // Reading the directory itself allocates no more than the budget either.
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), tmsize_t(kSampleBudgetBytes));
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), quiet, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), quiet, nullptr);
    MemoryFile file{data};
    // "r": read only; "m": no memory mapping (the bytes are in memory already).
    std::unique_ptr<TIFF, TiffCloser> tiff(TIFFClientOpenExt("photo", "rm", &file, readFile, writeFile, seekFile,
                                                             closeFile, fileSize, nullptr, nullptr, options.get()));
    if (!tiff)
        return false;
    uint32_t width = 0, height = 0;
    uint16_t samples = 1, bits = 1;
    TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height);
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_BITSPERSAMPLE, &bits);
    const unsigned bitsPerPixel = unsigned(samples) * bits;
    if (width == 0 || height == 0 || bitsPerPixel == 0 || bitsPerPixel > kMaxBitsPerPixel)
        return false;
    const unsigned __int128 wholeBits = static_cast<unsigned __int128>(width) * height * bitsPerPixel;
    if ((wholeBits + 7) / 8 > kSampleBudgetBytes)
        return false;
    const std::uint64_t wholeBytes = std::uint64_t((wholeBits + 7) / 8);
    // libtiff reports 0 for a size it cannot compute.
    const std::uint64_t chunk = TIFFIsTiled(tiff.get()) ? TIFFTileSize64(tiff.get()) : TIFFStripSize64(tiff.get());
    return chunk > 0 && chunk <= std::max(wholeBytes, kAnyChunkBytes);
}
