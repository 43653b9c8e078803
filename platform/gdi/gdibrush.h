// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A solid brush: one colour.

#include "platform/gdi/gdiobject.h"
#include "platform/wintypes.h"

struct GdiBrush : GdiObject {
    explicit GdiBrush(COLORREF color, bool stock = false) : GdiObject(Kind::Brush, stock), m_color(color) {}

    COLORREF color() const { return m_color; }

    static GdiBrush* stockWhite();

private:
    COLORREF m_color;
};
