// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A bitmap with its description and a drawing context acquired and released by count: the film's
// canvas, and each photo while it is copied onto the canvas.

#include "platform/gdi/gdi.h"

#include <cstdint>

class CDibImage {
public:
    CDibImage() = default;
    virtual ~CDibImage();
    CDibImage(const CDibImage&) = delete;
    CDibImage& operator=(const CDibImage&) = delete;

    bool Create(std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel);
    void Attach(HBITMAP bitmap);
    HDC AcquireDC();
    void ReleaseDC();
    void Destroy();

    HBITMAP m_Bitmap = nullptr;
    BYTE* m_Bits = nullptr;
    std::int32_t m_Width = 0;
    std::int32_t m_Height = 0;
    std::int32_t m_Pitch = 0;
    std::int32_t m_BitsPerPixel = 0;
    bool m_IsDibSection = false;
    HDC m_DC = nullptr;
    std::int32_t m_DCUseCount = 0;
    HBITMAP m_OldBitmap = nullptr;
};
