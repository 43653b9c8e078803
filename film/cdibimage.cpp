// SPDX-License-Identifier: GPL-2.0-or-later
#include "film/cdibimage.h"

#include "film/cdccache.h"

#include <cstdlib>

CDibImage::~CDibImage()
{
    Destroy();
}

bool CDibImage::Create(std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = WORD(bitsPerPixel);
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap)
        return false;
    Attach(bitmap);
    return true;
}

void CDibImage::Attach(HBITMAP bitmap)
{
    m_Bitmap = bitmap;
    DIBSECTION section{};
    if (GetObjectA(bitmap, GDI_DIBSECTION_BYTES, &section) == GDI_DIBSECTION_BYTES) {
        m_IsDibSection = true;
        m_Width = section.dsBmih.biWidth;
        m_Height = std::abs(section.dsBmih.biHeight);
        m_BitsPerPixel = section.dsBmih.biBitCount;
        const std::int32_t stride = std::int32_t(DibRowStride(m_Width, m_BitsPerPixel));
        m_Pitch = stride;
        m_Bits = static_cast<BYTE*>(section.dsBm.bmBits);
        if (section.dsBmih.biHeight > 0) {
            m_Bits += std::ptrdiff_t(m_Height - 1) * stride;
            m_Pitch = -stride;
        }
        return;
    }
    BITMAP plain{};
    GetObjectA(bitmap, GDI_BITMAP_BYTES, &plain);
    m_IsDibSection = false;
    m_Width = plain.bmWidth;
    m_Height = plain.bmHeight;
    m_BitsPerPixel = plain.bmBitsPixel;
    m_Pitch = 0;
    m_Bits = nullptr;
}

HDC CDibImage::AcquireDC()
{
    ++m_DCUseCount;
    if (!m_DC) {
        m_DC = CDCCache::Instance().Acquire();
        m_OldBitmap = SelectObject(m_DC, m_Bitmap);
    }
    return m_DC;
}

void CDibImage::ReleaseDC()
{
    if (--m_DCUseCount == 0 && m_DC) {
        SelectObject(m_DC, m_OldBitmap);
        CDCCache::Instance().Release(m_DC);
        m_DC = nullptr;
        m_OldBitmap = nullptr;
    }
}

void CDibImage::Destroy()
{
    if (!m_Bitmap)
        return;
    HBITMAP bitmap = m_Bitmap;
    m_Bitmap = nullptr;
    m_Bits = nullptr;
    m_Width = m_Height = m_Pitch = m_BitsPerPixel = 0;
    m_IsDibSection = false;
    DeleteObject(bitmap);
}
