// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/video1/video1encoder.h"

#include "platform/video1/blockencoder.h"
#include "platform/video1/video1format.h"
#include "platform/workers/workerpool.h"
#include "platform/workers/workertasks.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

namespace video1 {

namespace {

// Block rows below which a band is not worth handing out on its own.
constexpr int kMinBlockRowsPerBand = 8;
// Threads take the next band as they finish one, so that a thread slowed by other work (the film
// decodes its next photos meanwhile) leaves its share to the others instead of holding the frame.
constexpr int kBandsPerThread = 8;

// Squared error (over the three 8-bit channels) worth one byte: none at quality 10000, about 400
// at the default 7500, past a million (every block one colour) at 0.
int lambdaForQuality(int quality)
{
    const double loss = double(kMaxQuality - quality) / double(kMaxQuality - kMinQuality);
    return int(std::exp2(20.0 * std::pow(loss, 0.6046)) + 0.5) - 1;
}

int resolveQuality(int quality)
{
    if (quality == kDefaultQuality)
        return kCodecDefaultQuality;
    return std::clamp(quality, kMinQuality, kMaxQuality);
}

int resolveThreads(int threads)
{
    if (threads > 0)
        return threads;
    return WorkerPool::usableCpus();
}

// Where the picture's rows are, counted from the bottom as the bitstream wants them.
struct RowLayout {
    const std::uint8_t* bottomRow;
    std::ptrdiff_t upward; // byte step from a row to the row above it

    const std::uint8_t* row(int fromBottom) const { return bottomRow + upward * fromBottom; }
};

void loadBlock(const RowLayout& rows, int blockRow, int blockColumn, BlockPixels& block)
{
    for (int y = 0; y < kBlockSize; ++y) {
        const std::uint8_t* p = rows.row(blockRow * kBlockSize + y) + blockColumn * kBlockSize * 3;
        for (int x = 0; x < kBlockSize; ++x, p += 3) {
            const int n = y * kBlockSize + x;
            block.channel[0][n] = p[0];
            block.channel[1][n] = p[1];
            block.channel[2][n] = p[2];
        }
    }
}

// Whether the block's sixteen pixels are all alike (as the black around small photos is).
bool isFlatBlock(const RowLayout& rows, int blockRow, int blockColumn)
{
    const std::uint8_t* first = rows.row(blockRow * kBlockSize) + blockColumn * kBlockSize * 3;
    std::uint8_t pattern[kBlockSize * 3];
    for (int x = 0; x < kBlockSize; ++x)
        std::memcpy(pattern + 3 * x, first, 3);
    for (int y = 0; y < kBlockSize; ++y) {
        const std::uint8_t* p = rows.row(blockRow * kBlockSize + y) + blockColumn * kBlockSize * 3;
        if (std::memcmp(p, pattern, sizeof pattern) != 0)
            return false;
    }
    return true;
}

} // namespace

struct Video1Encoder::Impl {
    int width = 0;
    int height = 0;
    int quality = kCodecDefaultQuality;
    int threads = 1;
    BlockEncoder blockEncoder{0};
    std::vector<std::vector<std::uint8_t>> bands;

    std::size_t encodeBand(const RowLayout& rows, int firstBlockRow, int endBlockRow,
                           std::vector<std::uint8_t>& buffer) const
    {
        const int blockColumns = width / kBlockSize;
        buffer.resize(std::size_t(endBlockRow - firstBlockRow) * blockColumns * kEightColourBytes);
        std::uint8_t* out = buffer.data();
        BlockPixels block;
        for (int blockRow = firstBlockRow; blockRow < endBlockRow; ++blockRow) {
            for (int blockColumn = 0; blockColumn < blockColumns; ++blockColumn) {
                if (isFlatBlock(rows, blockRow, blockColumn)) {
                    const std::uint8_t* p = rows.row(blockRow * kBlockSize) + blockColumn * kBlockSize * 3;
                    out += blockEncoder.encodeFlat(p[0], p[1], p[2], out);
                    continue;
                }
                loadBlock(rows, blockRow, blockColumn, block);
                out += blockEncoder.encode(block, out);
            }
        }
        return std::size_t(out - buffer.data());
    }

    void encodeFrame(const RowLayout& rows, std::vector<std::uint8_t>& out)
    {
        const int blockRows = height / kBlockSize;
        const int bandCount = std::clamp(blockRows / kMinBlockRowsPerBand, 1, threads * kBandsPerThread);
        bands.resize(std::size_t(bandCount));
        std::vector<std::size_t> used(bands.size());
        auto bandStart = [&](int band) { return blockRows * band / bandCount; };
        std::atomic<int> nextBand{0};
        auto encodeBands = [&](bool caller) {
            for (int band = nextBand++; band < bandCount; band = nextBand++) {
                used[std::size_t(band)] = encodeBand(rows, bandStart(band), bandStart(band + 1), bands[std::size_t(band)]);
                if (caller)
                    WorkerTasks::betweenParts();
            }
        };
        {
            // The calling thread takes bands too, and every band left when the pool has no thread
            // (or no room) for a helper; helpers that find no band left end at once.
            WorkerTasks helpers(WorkerPool::shared());
            for (int worker = 1; worker < std::min(threads, bandCount) && helpers.submit([&] { encodeBands(false); });
                 ++worker) {
            }
            encodeBands(true);
        }

        out.clear();
        for (int band = 0; band < bandCount; ++band)
            out.insert(out.end(), bands[band].begin(), bands[band].begin() + std::ptrdiff_t(used[band]));
        out.push_back(0); // end of frame
        out.push_back(0);
    }
};

Video1Encoder::Video1Encoder(int width, int height, EncoderOptions options)
    : m_impl(new Impl)
{
    if (width > 0 && height > 0 && width % kBlockSize == 0 && height % kBlockSize == 0) {
        m_impl->width = width;
        m_impl->height = height;
    }
    m_impl->quality = resolveQuality(options.quality);
    m_impl->threads = resolveThreads(options.threads);
    m_impl->blockEncoder = BlockEncoder(lambdaForQuality(m_impl->quality));
}

Video1Encoder::~Video1Encoder()
{
    delete m_impl;
}

bool Video1Encoder::valid() const
{
    return m_impl->width > 0;
}

int Video1Encoder::width() const
{
    return m_impl->width;
}

int Video1Encoder::height() const
{
    return m_impl->height;
}

int Video1Encoder::quality() const
{
    return m_impl->quality;
}

std::size_t Video1Encoder::maxFrameBytes() const
{
    const std::size_t blocks = std::size_t(m_impl->width / kBlockSize) * (m_impl->height / kBlockSize);
    return blocks * kEightColourBytes + kEndOfFrameBytes;
}

bool Video1Encoder::encodeBgr24(const std::uint8_t* pixels, std::ptrdiff_t stride, bool bottomUp,
                                std::vector<std::uint8_t>& out)
{
    out.clear();
    if (!valid() || pixels == nullptr || std::abs(stride) < std::ptrdiff_t(m_impl->width) * 3)
        return false;
    RowLayout rows;
    if (bottomUp) {
        rows = {pixels, stride};
    } else {
        rows = {pixels + stride * (m_impl->height - 1), -stride};
    }
    try {
        out.reserve(maxFrameBytes());
        m_impl->encodeFrame(rows, out);
    } catch (const std::bad_alloc&) {
        out.clear();
        return false;
    }
    return true;
}

} // namespace video1
