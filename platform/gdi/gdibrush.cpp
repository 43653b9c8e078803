// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/gdi/gdibrush.h"

GdiBrush* GdiBrush::stockWhite()
{
    static GdiBrush* const white = new GdiBrush(RGB(255, 255, 255), true);
    return white;
}
