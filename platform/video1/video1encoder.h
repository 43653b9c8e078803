// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Microsoft Video 1 (MSVC / CRAM) encoder, 16-bit RGB555 flavour. Every frame it produces is a
// key frame (no skip blocks). Input frames are 24-bit BGR rows as a DIB stores them.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace video1 {

constexpr int kMinQuality = 0;
constexpr int kMaxQuality = 10000;   // the Video for Windows quality scale
constexpr int kDefaultQuality = -1;  // "choose the codec's default"
// Quality sets how much picture error one byte of frame is worth: at 10000 every block takes the
// coding with the least error, at 0 every block is one colour. The default keeps photos at about
// 40 dB PSNR (RGB555 itself allows about 41.7).
constexpr int kCodecDefaultQuality = 7500;

struct EncoderOptions {
    int quality = kDefaultQuality;
    int threads = 0; // 0: one for each CPU the process may run on
};

class Video1Encoder {
public:
    // Width and height must be positive multiples of 4; valid() tells.
    Video1Encoder(int width, int height, EncoderOptions options = {});
    ~Video1Encoder();
    Video1Encoder(const Video1Encoder&) = delete;
    Video1Encoder& operator=(const Video1Encoder&) = delete;

    bool valid() const;
    int width() const;
    int height() const;
    int quality() const; // the quality in use: kDefaultQuality resolves to kCodecDefaultQuality

    // The largest frame encodeBgr24 can produce for this size.
    std::size_t maxFrameBytes() const;

    // Encodes one frame. `pixels` points at the first row in memory, `stride` is the byte distance
    // between consecutive rows in memory, and `bottomUp` tells whether the first row in memory is
    // the bottom row of the picture (as in a DIB with positive height). Returns false on invalid
    // arguments; `out` then is empty.
    bool encodeBgr24(const std::uint8_t* pixels, std::ptrdiff_t stride, bool bottomUp,
                     std::vector<std::uint8_t>& out);

private:
    struct Impl;
    Impl* m_impl;
};

} // namespace video1
