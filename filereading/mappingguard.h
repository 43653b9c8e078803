// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Keeps a file that shrinks under its read-only mapping from ending the process. Reading a page
// of a mapping that lies past the file's end raises SIGBUS; for a watched range the handler maps
// zero pages over the rest of the range instead, so the read goes on and finds zeros, and the
// range is marked as cut. Faults elsewhere go to the handler that was there before.

#include <cstddef>
#include <cstdint>

namespace MappingGuard {

struct Slot;

class Watch {
public:
    Watch() = default;
    // Watches `length` bytes from the page-aligned `base` until destroyed.
    Watch(void* base, std::size_t length);
    ~Watch();
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;

    // False when no slot could be had (out of memory): the range is not watched.
    bool isWatching() const;
    // True once a read of the range found the file shorter than the mapping.
    bool wasCut() const;
    // Where the zeros begin, counted from the range's start: the first page a read of the range
    // found past the file's end; 0 while the range was not cut.
    std::size_t firstCutOffset() const;

private:
    Slot* m_slot = nullptr;
    std::uintptr_t m_base = 0;
};

} // namespace MappingGuard
