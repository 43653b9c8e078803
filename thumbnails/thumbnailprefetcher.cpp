// SPDX-License-Identifier: GPL-2.0-or-later
#include "thumbnails/thumbnailprefetcher.h"

#include <algorithm>
#include <new>

namespace {
// Thumbnails made ahead of the one being taken, at most: enough to keep every worker busy while
// the caller inserts, few enough that a long run holds only a handful.
constexpr int kAheadPerWorker = 4;
} // namespace

ThumbnailPrefetcher::ThumbnailPrefetcher(int count, Job job, int threads)
    : m_count(std::max(count, 0))
    , m_job(std::move(job))
    , m_lookahead(std::max(threads, 1) * kAheadPerWorker)
    , m_states(size_t(m_count), State::Waiting)
    , m_results(size_t(m_count))
{
    const int workers = std::min(std::max(threads, 0), m_count);
    for (int i = 0; i < workers; ++i)
        m_workers.emplace_back([this] { work(); });
}

ThumbnailPrefetcher::~ThumbnailPrefetcher()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    for (std::thread& worker : m_workers)
        worker.join();
}

int ThumbnailPrefetcher::defaultThreads()
{
    return int(std::max(1u, std::thread::hardware_concurrency()));
}

QImage ThumbnailPrefetcher::take(int index)
{
    if (index < 0 || index >= m_count)
        return QImage();
    std::unique_lock lock(m_mutex);
    m_nextToTake = std::max(m_nextToTake, index + 1);
    if (m_states[size_t(index)] == State::Waiting) {
        m_states[size_t(index)] = State::Begun;
        m_nextToBegin = std::max(m_nextToBegin, index + 1);
        lock.unlock();
        QImage image = run(index);
        lock.lock();
        m_states[size_t(index)] = State::Done;
        m_changed.notify_all();
        return image;
    }
    m_changed.wait(lock, [&] { return m_states[size_t(index)] == State::Done; });
    QImage image = std::move(m_results[size_t(index)]);
    m_results[size_t(index)] = QImage();
    // A place ahead has opened up.
    m_changed.notify_all();
    return image;
}

bool ThumbnailPrefetcher::mayBegin() const
{
    return m_nextToBegin < m_count && m_nextToBegin < m_nextToTake + m_lookahead;
}

void ThumbnailPrefetcher::work()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stopping || mayBegin() || m_nextToBegin >= m_count; });
        if (m_stopping || m_nextToBegin >= m_count)
            return;
        const int index = m_nextToBegin++;
        m_states[size_t(index)] = State::Begun;
        lock.unlock();
        QImage image = run(index);
        lock.lock();
        m_results[size_t(index)] = std::move(image);
        m_states[size_t(index)] = State::Done;
        m_changed.notify_all();
    }
}

QImage ThumbnailPrefetcher::run(int index)
{
    // A thumbnail that cannot be made for want of memory is an empty cell, as a photo that
    // cannot be decoded.
    try {
        return m_job(index);
    } catch (const std::bad_alloc&) {
        return QImage();
    }
}
