// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// What an 8-bit channel value must come back as after a trip through RGB555: the 5-bit value
// whose bit-replicated expansion lies nearest, expanded again.

inline int throughRgb555(int value8)
{
    int best = 0;
    for (int q = 0; q < 32; ++q) {
        const int expanded = (q << 3) | (q >> 2);
        const int bestExpanded = (best << 3) | (best >> 2);
        if ((expanded - value8) * (expanded - value8) < (bestExpanded - value8) * (bestExpanded - value8))
            best = q;
    }
    return (best << 3) | (best >> 2);
}
