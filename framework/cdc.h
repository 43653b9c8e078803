#pragma once
// A drawing context for views: a QPainter on a window, a printer or a preview page, with the
// graphics-device handle the image services draw through.

#include "platform/gdi/gdi.h"

class QPainter;

class CDC {
public:
    explicit CDC(QPainter* painter, bool printing = false);
    ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }
    QPainter* GetPainter() const { return m_pPainter; }
    bool IsPrinting() const { return m_bPrinting; }

private:
    QPainter* m_pPainter;
    HDC m_hDC;
    bool m_bPrinting;
};
