// SPDX-License-Identifier: GPL-2.0-or-later
#include "thumbnails/cachewriter.h"

#include "platform/workers/workerpool.h"
#include "thumbnails/reducedpicture.h"

#include <QCoreApplication>

#include <system_error>

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// The thread runs only on a processor that nothing else wants; where the scheduler refuses that
// class, at the lowest priority of the usual one.
void LowerThisThread()
{
    pthread_setname_np(pthread_self(), "strevio cache");
    const sched_param none{};
    if (pthread_setschedparam(pthread_self(), SCHED_IDLE, &none) != 0)
        setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 19);
}

} // namespace

CacheWriter::CacheWriter(std::size_t heldBudget, int threads)
    : m_budget(heldBudget)
{
    if (threads < 0)
        threads = WorkerPool::usableCpus();
    try {
        for (int i = 0; i < threads; ++i)
            m_threads.emplace_back([this] { serve(); });
    } catch (const std::system_error&) {
        // Entries are written by the threads there are; without any, by their callers.
    }
    m_queues = threads == 0 || !m_threads.empty();
}

CacheWriter::~CacheWriter()
{
    stop();
}

CacheWriter& CacheWriter::shared()
{
    static CacheWriter writer;
    // Stopped as the application ends: the statics its writes use may go before it does.
    [[maybe_unused]] static const bool stopsWithTheApplication = (qAddPostRoutine([] { writer.stop(); }), true);
    return writer;
}

void CacheWriter::stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_queues = false;
        m_waiting.clear();
    }
    m_changed.notify_all();
    for (std::thread& thread : m_threads)
        thread.join();
    m_threads.clear();
}

void CacheWriter::write(const ThumbnailCache& cache, const QByteArray& photo, const FileStamp& stamp,
                        std::shared_ptr<const ReducedPicture> picture, int side, bool alsoKept)
{
    Entry entry{cache, photo, stamp, std::move(picture), side, 0};
    if (!alsoKept)
        entry.held = entry.picture->bytes();
    {
        std::lock_guard lock(m_mutex);
        if (m_queues && m_held + entry.held <= m_budget) {
            m_held += entry.held;
            m_waiting.push_back(std::move(entry));
            m_changed.notify_all();
            return;
        }
    }
    store(entry);
}

void CacheWriter::flush()
{
    std::unique_lock lock(m_mutex);
    while (!m_waiting.empty())
        writeFirst(lock);
    m_changed.wait(lock, [this] { return m_writing == 0; });
}

int CacheWriter::pending() const
{
    std::lock_guard lock(m_mutex);
    return int(m_waiting.size()) + m_writing;
}

void CacheWriter::serve()
{
    LowerThisThread();
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stopping || !m_waiting.empty(); });
        if (m_stopping)
            return;
        writeFirst(lock);
    }
}

void CacheWriter::writeFirst(std::unique_lock<std::mutex>& lock)
{
    Entry entry = std::move(m_waiting.front());
    m_waiting.pop_front();
    ++m_writing;
    lock.unlock();
    store(entry);
    const std::size_t held = entry.held;
    entry.picture.reset();
    lock.lock();
    m_held -= held;
    --m_writing;
    m_changed.notify_all();
}

void CacheWriter::store(const Entry& entry)
{
    entry.cache.store(entry.photo, entry.stamp, entry.picture->picture, entry.picture->photoSize, entry.side);
}
