// SPDX-License-Identifier: GPL-2.0-or-later
#include "film/cdccache.h"

CDCCache& CDCCache::Instance()
{
    static CDCCache cache;
    return cache;
}

CDCCache::~CDCCache()
{
    for (auto& slot : m_slots)
        if (HDC hdc = slot.exchange(nullptr))
            DeleteDC(hdc);
}

HDC CDCCache::Acquire()
{
    for (auto& slot : m_slots)
        if (HDC hdc = slot.exchange(nullptr))
            return hdc;
    return CreateCompatibleDC(nullptr);
}

void CDCCache::Release(HDC hdc)
{
    for (auto& slot : m_slots) {
        hdc = slot.exchange(hdc);
        if (!hdc)
            return;
    }
    DeleteDC(hdc);
}
