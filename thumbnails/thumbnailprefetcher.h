// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Makes the thumbnails of a run of photos ahead on a worker pool's threads while the caller takes
// them one by one, in order. What is taken is exactly what the job gives on the caller's own
// thread: a thumbnail not yet begun when it is asked for is made there and then, so the run also
// completes on a pool without threads. The work ends with the object, which finishes the jobs in
// hand and drops the rest, so no job outlives its caller.

#include "platform/workers/workertasks.h"

#include <QImage>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

class WorkerPool;

class ThumbnailPrefetcher {
public:
    using Job = std::function<QImage(int index)>;

    // At most `threads` thumbnails made at a time on `pool` (0: every one is made in take()).
    ThumbnailPrefetcher(int count, Job job, int threads);
    ThumbnailPrefetcher(int count, Job job, int threads, WorkerPool& pool);
    ~ThumbnailPrefetcher();
    ThumbnailPrefetcher(const ThumbnailPrefetcher&) = delete;
    ThumbnailPrefetcher& operator=(const ThumbnailPrefetcher&) = delete;

    // The thumbnail of `index`; indices are taken in increasing order.
    QImage take(int index);

    // One worker for each CPU the process may use.
    static int defaultThreads();

private:
    enum class State { Waiting, Begun, Done };

    // Makes thumbnails while there are some to begin within the lookahead, then returns.
    void work();
    // Puts workers to work while there is room ahead and the pool takes them.
    void startWorkers();
    bool mayBegin() const;
    QImage run(int index);

    const int m_count;
    const Job m_job;
    const int m_workers;
    const int m_lookahead;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<State> m_states;
    std::vector<QImage> m_results;
    int m_nextToBegin = 0;
    int m_nextToTake = 0;
    int m_working = 0; // workers queued or at work
    bool m_stopping = false;
    WorkerTasks m_tasks; // last: its tasks end before the rest goes
};
