// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A fixed set of threads that run tasks handed to them through WorkerTasks. The threads are
// started once, with the pool; a thread that cannot be started (std::system_error, as under a
// process limit) is left out, and a pool without any thread queues nothing, so that its callers do
// the work themselves. At most `capacity()` tasks wait at a time: work ahead of the threads is
// bounded, and a task that finds the queue full is, again, the caller's to do.

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class WorkerTasks;

class WorkerPool {
public:
    using Task = std::function<void()>;
    // Starts one thread running `body`; throws std::system_error when no thread can be had.
    using ThreadStarter = std::function<std::thread(std::function<void()> body)>;

    // The name idle threads carry, as `ps -L` and /proc/<pid>/task/<tid>/comm show it.
    static constexpr char kIdleThreadName[] = "strevio worker";

    explicit WorkerPool(int threads, ThreadStarter starter = {});
    // Drops the tasks that have not begun and joins the threads once their tasks are done.
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // The process's pool, started on first use with one thread for each CPU the process may run
    // on, and at least two: a film keeps two of them composing frames while it lasts.
    static WorkerPool& shared();
    // The CPUs this process may run on (its affinity mask, which taskset, cgroups' cpusets and
    // containers narrow), not the machine's count.
    static int usableCpus();

    int threads() const { return int(m_threads.size()); }
    int capacity() const { return m_capacity; }

private:
    friend class WorkerTasks;
    struct Queued {
        Task task;
        WorkerTasks* owner;
    };

    // False when the task was not queued: no threads, or the queue is full.
    bool enqueue(Task task, WorkerTasks* owner);
    // Takes `owner`'s tasks that have not begun out of the queue; returns how many.
    int withdraw(const WorkerTasks* owner);
    void serve();

    std::mutex m_mutex;
    std::condition_variable m_queued;
    std::deque<Queued> m_queue;
    bool m_stopping = false;
    int m_capacity = 0;
    std::vector<std::thread> m_threads;
};
