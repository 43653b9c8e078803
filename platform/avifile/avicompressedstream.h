// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A compressing stream laid over a film's video stream: it takes 24-bit bottom-up or top-down
// RGB frames, encodes each with Microsoft Video 1 and writes it to the film as a key frame.
// Its format is the caller's input format; the film's stream receives the codec's output format.

#include "platform/avifile/avistream.h"

#include "platform/video1/video1encoder.h"

#include <cstdint>
#include <memory>
#include <vector>

class AviFileStream;

class AviCompressedStream : public AviStream {
public:
    // `quality` on the Video for Windows scale, or video1::kDefaultQuality.
    AviCompressedStream(AviFileStream* film, int quality);

    HRESULT setFormat(LONG position, const void* format, LONG formatBytes) override;
    HRESULT write(LONG start, LONG samples, const void* data, LONG bytes, DWORD flags,
                  LONG* samplesWritten, LONG* bytesWritten) override;
    LONG length() const override;

    static bool isVideo1Handler(DWORD fccHandler);

protected:
    ~AviCompressedStream() override;

private:
    static HRESULT checkInputFormat(const BITMAPINFOHEADER& input);
    static BITMAPINFOHEADER outputFormat(const BITMAPINFOHEADER& input);

    AviFileStream* m_film;
    int m_quality;
    BITMAPINFOHEADER m_input{};
    std::unique_ptr<video1::Video1Encoder> m_encoder;
    std::vector<std::uint8_t> m_encoded;
};
