// SPDX-License-Identifier: GPL-2.0-or-later
#include "video1trial.h"

#include "platform/video1/video1decoder.h"
#include "platform/video1/video1encoder.h"

#include <chrono>
#include <cmath>
#include <cstdlib>

double TrialResult::framesPerSecond() const
{
    return encodeSeconds > 0 ? double(frames) / encodeSeconds : 0;
}

Video1Trial::Video1Trial(const CanvasSet& canvases, int threads)
    : m_canvases(canvases), m_threads(threads)
{
}

TrialResult Video1Trial::run(int quality, bool measurePsnr) const
{
    const int size = m_canvases.size();
    video1::Video1Encoder encoder(size, size, {quality, m_threads});
    video1::Video1Decoder decoder(size, size);
    TrialResult result;
    result.quality = encoder.quality();
    result.frames = m_canvases.count();
    std::vector<std::uint8_t> frame;
    double psnrSum = 0;
    for (std::size_t i = 0; i < m_canvases.count(); ++i) {
        const auto start = std::chrono::steady_clock::now();
        encoder.encodeBgr24(m_canvases.frame(i).data(), size * 3, false, frame);
        result.encodeSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        result.bytes += frame.size();
        if (measurePsnr && decoder.decode(frame.data(), frame.size()))
            psnrSum += CanvasSet::psnr(m_canvases.frame(i), decoder.toBgr24().data());
    }
    result.meanPsnr = m_canvases.count() ? psnrSum / double(m_canvases.count()) : 0;
    return result;
}

bool SizeMatch::reached() const
{
    return double(trial.bytes) <= double(targetBytes) * (1 + kTolerance);
}

double SizeMatch::overPercent() const
{
    return targetBytes ? 100.0 * (double(trial.bytes) - double(targetBytes)) / double(targetBytes) : 0;
}

SizeMatch Video1Trial::closestToSize(std::uint64_t targetBytes) const
{
    int low = video1::kMinQuality, high = video1::kMaxQuality;
    TrialResult lowResult = run(low, false), highResult = run(high, false);
    while (high - low > 1 && lowResult.bytes < targetBytes && highResult.bytes > targetBytes) {
        const int middle = (low + high) / 2;
        const TrialResult middleResult = run(middle, false);
        if (middleResult.bytes <= targetBytes) {
            low = middle;
            lowResult = middleResult;
        } else {
            high = middle;
            highResult = middleResult;
        }
    }
    const SizeMatch smaller{lowResult, targetBytes}, larger{highResult, targetBytes};
    const bool largerIsNearer = std::abs(larger.overPercent()) < std::abs(smaller.overPercent());
    const int quality = larger.reached() && largerIsNearer ? high : low;
    return {run(quality), targetBytes};
}
