// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The process-wide cache of memory drawing contexts that image holders borrow: four slots,
// swapped atomically. A context given back when all slots are full is deleted.

#include "platform/gdi/gdi.h"

#include <array>
#include <atomic>

class CDCCache {
public:
    static CDCCache& Instance();
    ~CDCCache();

    HDC Acquire();          // a cached context, or a new one compatible with the screen
    void Release(HDC hdc);  // back into the first slot; the displaced ones move on

private:
    CDCCache() = default;
    std::array<std::atomic<HDC>, 4> m_slots{};
};
