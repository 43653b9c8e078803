// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Writes the desktop thumbnail cache's entries on threads of its own (one a processor) that run
// only when the processors would otherwise be idle (Linux's SCHED_IDLE class). While a photo list
// decodes its photos, their entries wait; they are written as soon as the decodes leave a
// processor free, which on a busy machine is when the list is complete. At 512 pixels, encoding
// the entries is about a tenth of a first open's work, and the list is complete that much sooner.
// What waits is bounded: the pictures held for their entry alone (those not also kept in the store
// of reduced pictures) take at most `heldBudget` bytes; past that, or when no thread could be
// started, an entry is written on its caller's thread there and then. The entries still
// waiting when the object ends (the shared one: when the application does) are dropped, after the
// one being written: the cache is an optimisation, and those photos are decoded again next time.

#include "platform/files/filestamp.h"
#include "thumbnails/thumbnailcache.h"

#include <QByteArray>

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

struct ReducedPicture;

class CacheWriter {
public:
    static constexpr std::size_t kHeldBudget = std::size_t(64) << 20;

    // `threads` < 0: one for each processor the process may use; 0: entries wait until flush() (tests).
    explicit CacheWriter(std::size_t heldBudget = kHeldBudget, int threads = -1);
    ~CacheWriter();
    CacheWriter(const CacheWriter&) = delete;
    CacheWriter& operator=(const CacheWriter&) = delete;

    // The process's writer, started on first use.
    static CacheWriter& shared();

    // Stores `picture` in `cache` as the entry of the photo named `photo` in the state `stamp`, at
    // `side` (see ThumbnailCache::store), now or later. `alsoKept`: the picture is kept in the
    // store too, so that waiting holds no memory of its own.
    void write(const ThumbnailCache& cache, const QByteArray& photo, const FileStamp& stamp,
               std::shared_ptr<const ReducedPicture> picture, int side, bool alsoKept);
    // Writes what waits on the calling thread and returns when every entry handed over is written.
    void flush();
    // Entries handed over and not written yet.
    int pending() const;

private:
    struct Entry {
        ThumbnailCache cache;
        QByteArray photo;
        FileStamp stamp;
        std::shared_ptr<const ReducedPicture> picture;
        int side = 0;
        std::size_t held = 0; // bytes counted against the budget
    };

    // Drops what waits, waits for the entry being written and writes the next ones on their callers.
    void stop();
    void serve();
    // Takes the first entry waiting and writes it, the lock released meanwhile.
    void writeFirst(std::unique_lock<std::mutex>& lock);
    static void store(const Entry& entry);

    const std::size_t m_budget;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Entry> m_waiting;
    std::size_t m_held = 0;
    int m_writing = 0;
    bool m_stopping = false;
    bool m_queues = false; // false: every entry is written by its caller
    std::vector<std::thread> m_threads; // last: they start once the rest is ready
};
