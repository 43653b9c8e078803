// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Makes the thumbnails of a run of photos ahead on worker threads while the caller takes them one
// by one, in order. What is taken is exactly what the job gives on the caller's own thread: a
// thumbnail not yet begun when it is asked for is made there and then. The workers end with the
// object, which finishes the jobs in hand and drops the rest, so no job outlives its caller.

#include <QImage>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class ThumbnailPrefetcher {
public:
    using Job = std::function<QImage(int index)>;

    // `threads` workers (0: every thumbnail is made in take()).
    ThumbnailPrefetcher(int count, Job job, int threads);
    ~ThumbnailPrefetcher();
    ThumbnailPrefetcher(const ThumbnailPrefetcher&) = delete;
    ThumbnailPrefetcher& operator=(const ThumbnailPrefetcher&) = delete;

    // The thumbnail of `index`; indices are taken in increasing order.
    QImage take(int index);

    // One worker a core.
    static int defaultThreads();

private:
    enum class State { Waiting, Begun, Done };

    void work();
    bool mayBegin() const;
    QImage run(int index);

    const int m_count;
    const Job m_job;
    const int m_lookahead;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<State> m_states;
    std::vector<QImage> m_results;
    int m_nextToBegin = 0;
    int m_nextToTake = 0;
    bool m_stopping = false;
    std::vector<std::thread> m_workers;
};
