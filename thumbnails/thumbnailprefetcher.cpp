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
    State& state = m_states[size_t(index)];
    if (state == State::Taken)
        return QImage();
    if (state == State::Waiting) {
        state = State::Taken;
        lock.unlock();
        return run(index);
    }
    // A place ahead has opened up.
    --m_ahead;
    startWorkers();
    m_changed.wait(lock, [&] { return m_states[size_t(index)] == State::Done; });
    m_states[size_t(index)] = State::Taken;
    QImage image = std::move(m_results[size_t(index)]);
    m_results[size_t(index)] = QImage();
    return image;
}

void ThumbnailPrefetcher::prefer(int first, int last)
{
    std::lock_guard lock(m_mutex);
    m_preferred.clear();
    m_nextPreferred = 0;
    for (int index = std::max(first, 0); index <= last && index < m_count; ++index)
        if (m_states[size_t(index)] == State::Waiting)
            m_preferred.push_back(index);
    startWorkers();
}

int ThumbnailPrefetcher::nextToBegin()
{
    while (m_nextPreferred < m_preferred.size()) {
        const int index = m_preferred[m_nextPreferred];
        if (m_states[size_t(index)] == State::Waiting)
            return index;
        ++m_nextPreferred;
    }
    while (m_nextInOrder < m_count && m_states[size_t(m_nextInOrder)] != State::Waiting)
        ++m_nextInOrder;
    return m_nextInOrder < m_count ? m_nextInOrder : -1;
}

bool ThumbnailPrefetcher::mayBegin()
{
    return m_ahead < m_lookahead && nextToBegin() >= 0;
}

void ThumbnailPrefetcher::work()
{
    std::unique_lock lock(m_mutex);
    while (!m_stopping && mayBegin()) {
        const int index = nextToBegin();
        m_states[size_t(index)] = State::Begun;
        ++m_ahead;
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
