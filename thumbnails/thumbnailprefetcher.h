// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Makes the thumbnails of a run of photos ahead on a worker pool's threads while the caller takes
// them one by one. They are begun in increasing order, except that those the caller prefers (the
// ones on screen) go first; at most a lookahead of them are begun and not yet asked for. What is
// taken is exactly what the job gives on the caller's own thread: a thumbnail not yet begun when
// it is asked for is made there and then, so the run also completes on a pool without threads.
// The work ends with the object, which finishes the jobs in hand and drops the rest, so no job
// outlives its caller.

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

    // The thumbnail of `index`, in any order; each index is taken once.
    QImage take(int index);
    // Thumbnails first..last not begun yet are begun before any other (this replaces the
    // preference given before).
    void prefer(int first, int last);

    // One worker for each CPU the process may use.
    static int defaultThreads();

private:
    enum class State { Waiting, Begun, Done, Taken };

    // Makes thumbnails while there are some to begin within the lookahead, then returns.
    void work();
    // Puts workers to work while there is room ahead and the pool takes them.
    void startWorkers();
    bool mayBegin();
    // The next thumbnail to begin, or -1 when all are begun.
    int nextToBegin();
    QImage run(int index);

    const int m_count;
    const Job m_job;
    const int m_workers;
    const int m_lookahead;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<State> m_states;
    std::vector<QImage> m_results;
    std::vector<int> m_preferred; // begun first, from m_nextPreferred on
    size_t m_nextPreferred = 0;
    int m_nextInOrder = 0;        // no thumbnail below it waits
    int m_ahead = 0;              // begun by workers and not asked for yet
    int m_working = 0; // workers queued or at work
    bool m_stopping = false;
    WorkerTasks m_tasks; // last: its tasks end before the rest goes
};
