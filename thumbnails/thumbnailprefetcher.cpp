// SPDX-License-Identifier: GPL-2.0-or-later
#include "thumbnails/thumbnailprefetcher.h"

#include "platform/workers/workerpool.h"

#include <algorithm>
#include <new>

namespace {
// Thumbnails made ahead of the one being taken, at most: enough to keep every worker busy while
// the caller inserts, few enough that a long run holds only a handful.
constexpr int kAheadPerWorker = 4;
} // namespace

ThumbnailPrefetcher::ThumbnailPrefetcher(int count, Job job, int threads)
    : ThumbnailPrefetcher(count, std::move(job), threads, WorkerPool::shared())
{
}

ThumbnailPrefetcher::ThumbnailPrefetcher(int count, Job job, int threads, WorkerPool& pool)
    : m_count(std::max(count, 0))
    , m_job(std::move(job))
    , m_workers(std::min(std::max(threads, 0), m_count))
    , m_lookahead(std::max(threads, 1) * kAheadPerWorker)
    , m_states(size_t(m_count), State::Waiting)
    , m_results(size_t(m_count))
    , m_tasks(pool)
{
    std::lock_guard lock(m_mutex);
    startWorkers();
}

ThumbnailPrefetcher::~ThumbnailPrefetcher()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_tasks.finish();
}

int ThumbnailPrefetcher::defaultThreads()
{
    return WorkerPool::usableCpus();
}

void ThumbnailPrefetcher::startWorkers()
{
    while (!m_stopping && m_working < m_workers && mayBegin() && m_tasks.submit([this] { work(); }))
        ++m_working;
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
        startWorkers();
        return image;
    }
    // A place ahead has opened up.
    startWorkers();
    m_changed.wait(lock, [&] { return m_states[size_t(index)] == State::Done; });
    QImage image = std::move(m_results[size_t(index)]);
    m_results[size_t(index)] = QImage();
    return image;
}

bool ThumbnailPrefetcher::mayBegin() const
{
    return m_nextToBegin < m_count && m_nextToBegin < m_nextToTake + m_lookahead;
}

void ThumbnailPrefetcher::work()
{
    std::unique_lock lock(m_mutex);
    while (!m_stopping && mayBegin()) {
        const int index = m_nextToBegin++;
        m_states[size_t(index)] = State::Begun;
        lock.unlock();
        QImage image = run(index);
        lock.lock();
        m_results[size_t(index)] = std::move(image);
        m_states[size_t(index)] = State::Done;
        m_changed.notify_all();
    }
    --m_working;
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
