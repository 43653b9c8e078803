// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/gdi/pixelmemory.h"

#include <sys/mman.h>

PixelMemory::PixelMemory(std::size_t bytes)
{
    if (bytes == 0)
        return;
    void* mapped = mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (mapped == MAP_FAILED)
        return;
    m_data = static_cast<unsigned char*>(mapped);
    m_size = bytes;
}

PixelMemory::~PixelMemory()
{
    if (m_data)
        munmap(m_data, m_size);
}
