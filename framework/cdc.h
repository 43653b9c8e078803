// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A drawing context for views: a QPainter on a window, a printer or a preview page, with the
// graphics-device handle the image services draw through.

#include "platform/gdi/gdi.h"

class QPainter;

// GetDeviceCaps indexes: the drawable area of the device, in device units (a printer's printable
// area, a window's client area).
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;

class CDC {
public:
    explicit CDC(QPainter* painter, bool printing = false);
    ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }
    QPainter* GetPainter() const { return m_pPainter; }
    bool IsPrinting() const { return m_bPrinting; }
    int GetDeviceCaps(int index) const; // 0 for an index it does not know

private:
    QPainter* m_pPainter;
    HDC m_hDC;
    bool m_bPrinting;
};
