// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Encodes a set of canvases with our Video 1 encoder and measures the result: speed, size and
// picture quality (through our decoder). Also finds the quality whose total size comes closest
// to a target, to compare encoders at equal size, and says whether that size was reached.

#include "canvasset.h"

#include <cstdint>

struct TrialResult {
    int quality = 0;
    std::size_t frames = 0;
    std::uint64_t bytes = 0;
    double meanPsnr = 0;
    double encodeSeconds = 0;
    double framesPerSecond() const;
};

// A trial run to come near a size: reached when ours is at most 1 % over the target. Below it
// counts as reached too, as fewer bytes only understate what ours shows at the target size.
struct SizeMatch {
    static constexpr double kTolerance = 0.01;

    TrialResult trial;
    std::uint64_t targetBytes = 0;
    bool reached() const;
    double overPercent() const; // how far ours is over the target, negative when under it
};

class Video1Trial {
public:
    explicit Video1Trial(const CanvasSet& canvases, int threads = 0);

    // `quality` on the 0..10000 scale, or video1::kDefaultQuality.
    TrialResult run(int quality, bool measurePsnr = true) const;

    // The quality whose frames total closest to `targetBytes` (size grows with quality) without
    // going past the tolerance, or the smallest when no quality gets down to it.
    SizeMatch closestToSize(std::uint64_t targetBytes) const;

private:
    const CanvasSet& m_canvases;
    int m_threads;
};
