// SPDX-License-Identifier: GPL-2.0-or-later
#include "filereading/mappingguard.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <mutex>
#include <new>
#include <sys/mman.h>
#include <unistd.h>

namespace MappingGuard {

// A slot's range changes under a sequence count, odd while it changes: the handler takes a range
// only when the count was even and the same before and after it read both ends, so it never
// pairs the begin of one watch with the end of another.
struct Slot {
    std::atomic<std::uint64_t> sequence{0};
    std::atomic<std::uintptr_t> begin{0}; // 0 while the slot watches nothing
    std::atomic<std::uintptr_t> end{0};
    std::atomic<bool> cut{false};
    std::atomic<std::uintptr_t> firstCut{0}; // the lowest page mapped to zeros, while cut
    std::atomic<bool> taken{false};
};

namespace {

// Read in a signal handler: each must be lock-free.
static_assert(std::atomic<std::uint64_t>::is_always_lock_free && std::atomic<std::uintptr_t>::is_always_lock_free);

constexpr int kSlotsPerBlock = 64;

// Blocks are added, never freed, so that the handler walks them without a lock.
struct Block {
    Slot slots[kSlotsPerBlock];
    std::atomic<Block*> next{nullptr};
};

Block g_firstBlock;
std::uintptr_t g_pageSize = 4096;
struct sigaction g_previous {};

void passOn(int signal, siginfo_t* info, void* context)
{
    if ((g_previous.sa_flags & SA_SIGINFO) && g_previous.sa_sigaction) {
        g_previous.sa_sigaction(signal, info, context);
        return;
    }
    if (g_previous.sa_handler != SIG_DFL && g_previous.sa_handler != SIG_IGN) {
        g_previous.sa_handler(signal);
        return;
    }
    // The default action: a fault happens again on return, a sent signal is delivered again.
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
    if (info->si_code <= 0)
        raise(signal);
}

// The slot's range as one watch set it; false while it is being changed.
bool readRange(const Slot& slot, std::uintptr_t* begin, std::uintptr_t* end)
{
    const std::uint64_t before = slot.sequence.load(std::memory_order_acquire);
    if (before & 1)
        return false;
    *begin = slot.begin.load(std::memory_order_acquire);
    *end = slot.end.load(std::memory_order_acquire);
    std::atomic_thread_fence(std::memory_order_acquire);
    return slot.sequence.load(std::memory_order_relaxed) == before;
}

void setRange(Slot& slot, std::uintptr_t begin, std::uintptr_t end)
{
    slot.sequence.fetch_add(1, std::memory_order_acq_rel);
    slot.begin.store(begin, std::memory_order_release);
    slot.end.store(end, std::memory_order_release);
    slot.sequence.fetch_add(1, std::memory_order_acq_rel);
}

// Maps zero pages from the faulting page to the end of the watched range it lies in.
bool patch(std::uintptr_t address)
{
    for (Block* block = &g_firstBlock; block; block = block->next.load(std::memory_order_acquire)) {
        for (Slot& slot : block->slots) {
            std::uintptr_t begin = 0, end = 0;
            if (!readRange(slot, &begin, &end) || begin == 0 || address < begin || address >= end)
                continue;
            const std::uintptr_t page = address & ~(g_pageSize - 1);
            if (::mmap(reinterpret_cast<void*>(page), end - page, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1,
                       0) == MAP_FAILED)
                return false;
            std::uintptr_t lowest = slot.firstCut.load(std::memory_order_relaxed);
            while ((lowest == 0 || page < lowest)
                   && !slot.firstCut.compare_exchange_weak(lowest, page, std::memory_order_relaxed))
            {
            }
            slot.cut.store(true, std::memory_order_release);
            return true;
        }
    }
    return false;
}

void onSigbus(int signal, siginfo_t* info, void* context)
{
    const int savedErrno = errno;
    const bool patched = info->si_code > 0 && patch(reinterpret_cast<std::uintptr_t>(info->si_addr));
    errno = savedErrno;
    if (!patched)
        passOn(signal, info, context);
}

void install()
{
    g_pageSize = std::uintptr_t(sysconf(_SC_PAGESIZE));
    struct sigaction action {};
    action.sa_sigaction = onSigbus;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(SIGBUS, &action, &g_previous);
}

Slot* takeSlot()
{
    Block* block = &g_firstBlock;
    for (;;) {
        for (Slot& slot : block->slots) {
            bool free = false;
            if (slot.taken.compare_exchange_strong(free, true, std::memory_order_acq_rel))
                return &slot;
        }
        Block* next = block->next.load(std::memory_order_acquire);
        if (!next) {
            auto* fresh = new (std::nothrow) Block;
            if (!fresh)
                return nullptr;
            if (block->next.compare_exchange_strong(next, fresh, std::memory_order_acq_rel))
                next = fresh;
            else
                delete fresh;
        }
        block = next;
    }
}

} // namespace

Watch::Watch(void* base, std::size_t length)
{
    static std::once_flag installed;
    std::call_once(installed, install);
    m_slot = takeSlot();
    if (!m_slot)
        return;
    const auto begin = reinterpret_cast<std::uintptr_t>(base);
    m_base = begin;
    m_slot->cut.store(false, std::memory_order_relaxed);
    m_slot->firstCut.store(0, std::memory_order_relaxed);
    setRange(*m_slot, begin, begin + ((length + g_pageSize - 1) & ~(g_pageSize - 1)));
}

Watch::~Watch()
{
    if (!m_slot)
        return;
    setRange(*m_slot, 0, 0);
    m_slot->taken.store(false, std::memory_order_release);
}

bool Watch::isWatching() const
{
    return m_slot != nullptr;
}

bool Watch::wasCut() const
{
    return m_slot && m_slot->cut.load(std::memory_order_acquire);
}

std::size_t Watch::firstCutOffset() const
{
    if (!wasCut())
        return 0;
    return std::size_t(m_slot->firstCut.load(std::memory_order_relaxed) - m_base);
}

} // namespace MappingGuard
