// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/video1/blockencoder.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace video1 {

namespace {

enum class BlockMode { OneColour, TwoColour, EightColour };

// Errors in flat areas show as bands and blotches: flats keep their exact colour (up to RGB555)
// down to about quality 6300.
constexpr int kMaxLambdaForExactFlats = 2048;

// The 5-bit value closest to a mean given in quarters of an 8-bit step (0..1020).
constexpr std::array<std::uint8_t, 1021> makeNearest5QuarterTable()
{
    std::array<std::uint8_t, 1021> table{};
    for (int quarter = 0; quarter <= 1020; ++quarter) {
        // std::abs is not constexpr before C++23 (GCC accepts it, clang does not).
        const auto distance = [quarter](int q) {
            const int d = 4 * expand5(q) - quarter;
            return d < 0 ? -d : d;
        };
        int best = 0;
        for (int q = 1; q < 32; ++q) {
            if (distance(q) < distance(best))
                best = q;
        }
        table[quarter] = static_cast<std::uint8_t>(best);
    }
    return table;
}

constexpr std::array<std::uint8_t, 1021> kNearest5Quarter = makeNearest5QuarterTable();

// A group of pixels summed per channel.
struct Group {
    int sum[3] = {0, 0, 0};
    int sumSq[3] = {0, 0, 0};
    int count = 0;

    void add(const BlockPixels& block, int pixel)
    {
        for (int c = 0; c < 3; ++c) {
            const int v = block.channel[c][pixel];
            sum[c] += v;
            sumSq[c] += v * v;
        }
        ++count;
    }

    // Adds the pixel when `take` is 1, not when it is 0, without a branch.
    void addIf(const BlockPixels& block, int pixel, int take)
    {
        for (int c = 0; c < 3; ++c) {
            const int v = block.channel[c][pixel] * take;
            sum[c] += v;
            sumSq[c] += v * v;
        }
        count += take;
    }

    Group minus(const Group& part) const
    {
        Group rest;
        for (int c = 0; c < 3; ++c) {
            rest.sum[c] = sum[c] - part.sum[c];
            rest.sumSq[c] = sumSq[c] - part.sumSq[c];
        }
        rest.count = count - part.count;
        return rest;
    }

    // The squared error of the group around its exact (unrounded) mean.
    float spread() const
    {
        const float n = float(count);
        float squares = 0, sumsSquared = 0;
        for (int c = 0; c < 3; ++c) {
            squares += float(sumSq[c]);
            sumsSquared += float(sum[c]) * float(sum[c]);
        }
        return count ? squares - sumsSquared / n : 0.0f;
    }
};

// The squared error of a group drawn in one 8-bit channel value.
int channelError(const Group& group, int c, int value8)
{
    return group.sumSq[c] - 2 * value8 * group.sum[c] + group.count * value8 * value8;
}

// The RGB555 colour that best stands for a group, and its squared error.
struct Fit {
    std::uint16_t colour = 0;
    int error = 0;
};

// Reciprocals that turn the rounded quarter-step mean of a group into a multiply and a shift.
constexpr std::array<std::uint32_t, kPixelsPerBlock + 1> makeHalfReciprocalTable()
{
    std::array<std::uint32_t, kPixelsPerBlock + 1> table{};
    for (int count = 1; count <= kPixelsPerBlock; ++count)
        table[count] = std::uint32_t((65536 + count) / (2 * count));
    return table;
}

constexpr std::array<std::uint32_t, kPixelsPerBlock + 1> kHalfReciprocal = makeHalfReciprocalTable();

constexpr float kReciprocal[kPixelsPerBlock + 1] = {0.0f, 1.0f / 1, 1.0f / 2, 1.0f / 3, 1.0f / 4, 1.0f / 5,
    1.0f / 6, 1.0f / 7, 1.0f / 8, 1.0f / 9, 1.0f / 10, 1.0f / 11, 1.0f / 12, 1.0f / 13, 1.0f / 14,
    1.0f / 15, 1.0f / 16};

Fit fitGroup(const Group& group)
{
    if (group.count == 0)
        return {};
    const std::uint32_t reciprocal = kHalfReciprocal[group.count];
    int value5[3];
    Fit fit;
    for (int c = 0; c < 3; ++c) {
        const std::uint32_t quarterMean = (std::uint32_t(8 * group.sum[c] + group.count) * reciprocal) >> 16;
        value5[c] = kNearest5Quarter[std::min<std::uint32_t>(quarterMean, 1020)];
        fit.error += channelError(group, c, expand5(value5[c]));
    }
    fit.colour = packRgb555(value5[2], value5[1], value5[0]);
    return fit;
}

struct Expanded {
    int channel[3];

    explicit Expanded(std::uint16_t colour)
        : channel{expand5(blue5Of(colour)), expand5(green5Of(colour)), expand5(red5Of(colour))}
    {
    }
};

int distanceToColour(const BlockPixels& block, int pixel, const Expanded& colour)
{
    int distance = 0;
    for (int c = 0; c < 3; ++c) {
        const int d = block.channel[c][pixel] - colour.channel[c];
        distance += d * d;
    }
    return distance;
}

// The direction along which the block's colours spread most (power iteration on the covariance).
void principalAxis(const BlockPixels& block, const int sum[3], float axis[3])
{
    float centred[3][kPixelsPerBlock];
    for (int c = 0; c < 3; ++c)
        for (int n = 0; n < kPixelsPerBlock; ++n)
            centred[c][n] = float(block.channel[c][n] * kPixelsPerBlock - sum[c]);
    float cov[3][3];
    for (int a = 0; a < 3; ++a) {
        for (int b = a; b < 3; ++b) {
            float s = 0;
            for (int n = 0; n < kPixelsPerBlock; ++n)
                s += centred[a][n] * centred[b][n];
            cov[a][b] = cov[b][a] = s;
        }
    }
    int widest = 0;
    for (int c = 1; c < 3; ++c)
        if (cov[c][c] > cov[widest][widest])
            widest = c;
    for (int c = 0; c < 3; ++c)
        axis[c] = cov[c][widest];
    for (int iteration = 0; iteration < 4; ++iteration) {
        float next[3];
        for (int a = 0; a < 3; ++a)
            next[a] = cov[a][0] * axis[0] + cov[a][1] * axis[1] + cov[a][2] * axis[2];
        const float scale = std::max({std::fabs(next[0]), std::fabs(next[1]), std::fabs(next[2])});
        if (scale <= 0)
            return;
        for (int c = 0; c < 3; ++c)
            axis[c] = next[c] / scale;
    }
}

// Pixels ordered by their position along the principal axis.
void orderAlongAxis(const BlockPixels& block, const float axis[3], int order[kPixelsPerBlock])
{
    float position[kPixelsPerBlock];
    for (int n = 0; n < kPixelsPerBlock; ++n) {
        position[n] = axis[0] * block.channel[0][n] + axis[1] * block.channel[1][n] +
                      axis[2] * block.channel[2][n];
    }
    // Ranking by counting beats a sort here: no branch to mispredict.
    for (int n = 0; n < kPixelsPerBlock; ++n) {
        int rank = 0;
        for (int m = 0; m < kPixelsPerBlock; ++m)
            rank += (position[m] < position[n]) | ((position[m] == position[n]) & (m < n));
        order[rank] = n;
    }
}

void putWord(std::uint8_t*& out, std::uint16_t word)
{
    *out++ = static_cast<std::uint8_t>(word & 0xFF);
    *out++ = static_cast<std::uint8_t>(word >> 8);
}

} // namespace

struct BlockEncoder::Sums {
    Group all;
    bool flat = false;
};

struct BlockEncoder::Candidate {
    BlockMode mode = BlockMode::OneColour;
    int error = 0;
    std::uint16_t flags = 0;
    std::uint16_t colours[8] = {};

    int bytes() const
    {
        switch (mode) {
        case BlockMode::OneColour: return kOneColourBytes;
        case BlockMode::TwoColour: return kTwoColourBytes;
        case BlockMode::EightColour: return kEightColourBytes;
        }
        return kEightColourBytes;
    }
};

BlockEncoder::BlockEncoder(int lambda)
    : m_lambda(std::max(0, lambda))
{
}

int BlockEncoder::encode(const BlockPixels& block, std::uint8_t* out) const
{
    const Sums sums = sumsOf(block);
    if (sums.flat)
        return write(flat(sums), out);

    Candidate best = oneColour(sums);
    int bestCost = best.error + m_lambda * kOneColourBytes;
    if (bestCost > m_lambda * kTwoColourBytes) {
        const Candidate two = twoColour(block, sums);
        const int cost = two.error + m_lambda * kTwoColourBytes;
        if (cost < bestCost) {
            best = two;
            bestCost = cost;
        }
    }
    if (bestCost > m_lambda * kEightColourBytes) {
        const Candidate eight = eightColour(block);
        if (eight.error + m_lambda * kEightColourBytes < bestCost)
            best = eight;
    }
    return write(best, out);
}

int BlockEncoder::encodeFlat(int blue, int green, int red, std::uint8_t* out) const
{
    Sums sums;
    const int values[3] = {blue, green, red};
    for (int c = 0; c < 3; ++c) {
        sums.all.sum[c] = kPixelsPerBlock * values[c];
        sums.all.sumSq[c] = kPixelsPerBlock * values[c] * values[c];
    }
    sums.all.count = kPixelsPerBlock;
    sums.flat = true;
    return write(flat(sums), out);
}

BlockEncoder::Sums BlockEncoder::sumsOf(const BlockPixels& block)
{
    Sums sums;
    for (int c = 0; c < 3; ++c) {
        int sum = 0, sumSq = 0;
        for (int n = 0; n < kPixelsPerBlock; ++n) {
            const int v = block.channel[c][n];
            sum += v;
            sumSq += v * v;
        }
        sums.all.sum[c] = sum;
        sums.all.sumSq[c] = sumSq;
    }
    sums.all.count = kPixelsPerBlock;
    sums.flat = true;
    for (int c = 0; c < 3; ++c)
        sums.flat = sums.flat && sums.all.sumSq[c] * kPixelsPerBlock == sums.all.sum[c] * sums.all.sum[c];
    return sums;
}

BlockEncoder::Candidate BlockEncoder::oneColour(const Sums& sums)
{
    Candidate candidate;
    const Fit fit = fitGroup(sums.all);
    candidate.colours[0] = fit.colour;
    candidate.error = fit.error;
    if (fitsOneColourBlock(fit.colour))
        return candidate;
    // Red 1 would read as a skip code: settle for red 0 or 2, whichever is nearer.
    const int redError1 = channelError(sums.all, 2, expand5(1));
    const int redError0 = channelError(sums.all, 2, expand5(0));
    const int redError2 = channelError(sums.all, 2, expand5(2));
    const int red5 = redError0 <= redError2 ? 0 : 2;
    candidate.colours[0] = packRgb555(red5, green5Of(fit.colour), blue5Of(fit.colour));
    candidate.error += std::min(redError0, redError2) - redError1;
    return candidate;
}

BlockEncoder::Candidate BlockEncoder::flat(const Sums& sums) const
{
    Candidate candidate;
    const Fit fit = fitGroup(sums.all);
    candidate.error = fit.error;
    candidate.colours[0] = candidate.colours[1] = fit.colour;
    if (fitsOneColourBlock(fit.colour))
        return candidate;
    // Exact only as a two-colour block (both colours alike, flags 0), unless the quality is so
    // low that even a flat area may take a neighbouring red.
    if (m_lambda > kMaxLambdaForExactFlats) {
        const Candidate nearby = oneColour(sums);
        if (nearby.error + m_lambda * kOneColourBytes < candidate.error + m_lambda * kTwoColourBytes)
            return nearby;
    }
    candidate.mode = BlockMode::TwoColour;
    return candidate;
}

BlockEncoder::Candidate BlockEncoder::twoColour(const BlockPixels& block, const Sums& sums)
{
    float axis[3];
    principalAxis(block, sums.all.sum, axis);
    int order[kPixelsPerBlock];
    orderAlongAxis(block, axis, order);

    // Best split of the ordered pixels into a low and a high run: the one whose two means lie
    // farthest apart, weighted by their sizes (the least error before rounding to RGB555).
    int lowSum[kPixelsPerBlock][3];
    int running[3] = {0, 0, 0};
    for (int k = 1; k < kPixelsPerBlock; ++k) {
        for (int c = 0; c < 3; ++c) {
            running[c] += block.channel[c][order[k - 1]];
            lowSum[k][c] = running[c];
        }
    }
    int bestSplit = 1;
    float bestScore = -1;
    for (int k = 1; k < kPixelsPerBlock; ++k) {
        float lowSquares = 0, highSquares = 0;
        for (int c = 0; c < 3; ++c) {
            const float low = float(lowSum[k][c]), high = float(sums.all.sum[c] - lowSum[k][c]);
            lowSquares += low * low;
            highSquares += high * high;
        }
        const float score = lowSquares * kReciprocal[k] + highSquares * kReciprocal[kPixelsPerBlock - k];
        if (score > bestScore) {
            bestScore = score;
            bestSplit = k;
        }
    }
    Group low;
    for (int k = 0; k < bestSplit; ++k)
        low.add(block, order[k]);
    const Group high = sums.all.minus(low);
    const Fit bestLow = fitGroup(low), bestHigh = fitGroup(high);
    const int bestError = bestLow.error + bestHigh.error;
    std::uint16_t flags = 0;
    for (int k = bestSplit; k < kPixelsPerBlock; ++k)
        flags |= std::uint16_t(1u << order[k]);

    // Refine: each pixel takes the nearer of the two colours, the colours follow their pixels.
    std::uint16_t colourA = bestHigh.colour, colourB = bestLow.colour;
    int error = bestError;
    for (int round = 0; round < 2; ++round) {
        std::uint16_t nearestFlags = 0;
        int nearestError = 0;
        const Expanded expandedA(colourA), expandedB(colourB);
        for (int n = 0; n < kPixelsPerBlock; ++n) {
            const int toA = distanceToColour(block, n, expandedA);
            const int toB = distanceToColour(block, n, expandedB);
            if (toA < toB)
                nearestFlags |= std::uint16_t(1u << n);
            nearestError += std::min(toA, toB);
        }
        if (nearestFlags == flags)
            break;
        Group a;
        for (int n = 0; n < kPixelsPerBlock; ++n)
            a.addIf(block, n, nearestFlags >> n & 1);
        const Group b = sums.all.minus(a);
        const Fit fitA = fitGroup(a), fitB = fitGroup(b);
        if (a.count == 0 || b.count == 0 || fitA.error + fitB.error >= nearestError) {
            if (nearestError < error) {
                error = nearestError;
                flags = nearestFlags;
            }
            break;
        }
        flags = nearestFlags;
        colourA = fitA.colour;
        colourB = fitB.colour;
        error = fitA.error + fitB.error;
    }

    if (flags & 0x8000) {
        std::swap(colourA, colourB);
        flags = std::uint16_t(~flags);
    }
    Candidate candidate;
    candidate.mode = BlockMode::TwoColour;
    candidate.error = error;
    candidate.flags = flags;
    candidate.colours[0] = colourA;
    candidate.colours[1] = colourB;
    return candidate;
}

BlockEncoder::Candidate BlockEncoder::eightColour(const BlockPixels& block)
{
    Candidate candidate;
    candidate.mode = BlockMode::EightColour;
    for (int quadrant = 0; quadrant < 4; ++quadrant) {
        const int first = (quadrant >> 1) * 8 + (quadrant & 1) * 2;
        // The quadrant's top-right pixel comes last and always takes colour B, so that flag
        // bit 15 stays clear.
        const int pixels[4] = {first, first + 1, first + 4, first + 5};
        Group subset[8]; // the pixels of each mask over the first three, then all four
        Group all;
        for (int mask = 1; mask < 8; ++mask) {
            const int lowest = mask & -mask;
            subset[mask] = subset[mask & (mask - 1)];
            subset[mask].add(block, pixels[lowest == 1 ? 0 : lowest == 2 ? 1 : 2]);
        }
        all = subset[7];
        all.add(block, pixels[3]);
        // Round to RGB555 only the two splits that are best before rounding.
        int candidates[2] = {0, 0};
        float spreads[2] = {-1, -1};
        for (int mask = 0; mask < 8; ++mask) {
            const float spread = subset[mask].spread() + all.minus(subset[mask]).spread();
            if (spreads[0] < 0 || spread < spreads[0]) {
                candidates[1] = candidates[0];
                spreads[1] = spreads[0];
                candidates[0] = mask;
                spreads[0] = spread;
            } else if (spreads[1] < 0 || spread < spreads[1]) {
                candidates[1] = mask;
                spreads[1] = spread;
            }
        }
        Fit bestA, bestB;
        int bestMask = 0;
        int bestError = -1;
        for (int mask : candidates) {
            const Fit fitA = fitGroup(subset[mask]), fitB = fitGroup(all.minus(subset[mask]));
            if (bestError < 0 || fitA.error + fitB.error < bestError) {
                bestError = fitA.error + fitB.error;
                bestMask = mask;
                bestA = mask ? fitA : fitB;
                bestB = fitB;
            }
        }
        for (int i = 0; i < 3; ++i)
            if (bestMask >> i & 1)
                candidate.flags |= std::uint16_t(1u << pixels[i]);
        candidate.colours[2 * quadrant] = bestA.colour;
        candidate.colours[2 * quadrant + 1] = bestB.colour;
        candidate.error += bestError;
    }
    return candidate;
}

int BlockEncoder::write(const Candidate& candidate, std::uint8_t* out)
{
    std::uint8_t* start = out;
    switch (candidate.mode) {
    case BlockMode::OneColour:
        putWord(out, candidate.colours[0] | kOneColourFlag);
        break;
    case BlockMode::TwoColour:
        putWord(out, candidate.flags);
        putWord(out, candidate.colours[0]);
        putWord(out, candidate.colours[1]);
        break;
    case BlockMode::EightColour:
        putWord(out, candidate.flags);
        putWord(out, candidate.colours[0] | kEightColourFlag);
        for (int i = 1; i < 8; ++i)
            putWord(out, candidate.colours[i]);
        break;
    }
    return int(out - start);
}

} // namespace video1
