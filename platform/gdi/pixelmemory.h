// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Zero-filled pixel memory from an anonymous private mapping. Pages are committed only when
// written, so a large bitmap of which only a corner is drawn costs only that corner, and a
// failed allocation leaves the object empty instead of ending the process.

#include <cstddef>

class PixelMemory {
public:
    explicit PixelMemory(std::size_t bytes);
    ~PixelMemory();
    PixelMemory(const PixelMemory&) = delete;
    PixelMemory& operator=(const PixelMemory&) = delete;

    unsigned char* data() const { return m_data; }
    std::size_t size() const { return m_size; }
    bool isNull() const { return m_data == nullptr; }

private:
    unsigned char* m_data = nullptr;
    std::size_t m_size = 0;
};
