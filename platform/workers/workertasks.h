// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// One user's tasks on a WorkerPool. submit() queues a task, or says that it could not (then the
// caller does that work itself); finish(), and the destructor, drop the tasks that have not begun
// and wait for those that have, so that no task outlives what it works on.

#include <condition_variable>
#include <functional>
#include <mutex>

class WorkerPool;

class WorkerTasks {
public:
    // `threadName` (at most 15 bytes), when given, names a thread while it runs these tasks.
    explicit WorkerTasks(WorkerPool& pool, const char* threadName = nullptr);
    ~WorkerTasks();
    WorkerTasks(const WorkerTasks&) = delete;
    WorkerTasks& operator=(const WorkerTasks&) = delete;

    // True when the task was queued; false when the pool has no thread or no room for it.
    bool submit(std::function<void()> task);
    void finish();
    // Waits until `count` of the tasks submitted have begun on their threads, or until none is
    // left waiting for a thread. True when they had.
    bool waitForBegun(int count);

    // A long piece of work split into parts, some of which the calling thread does itself, has
    // that thread call betweenParts() after each of its parts: the hook set for the thread then
    // runs (the window thread answers its events there). Nothing runs on a thread without one.
    static void setBetweenParts(void (*hook)());
    static void betweenParts();

    // Runs `task` on a thread of `pool` while the caller calls `whileWaiting` every few
    // milliseconds until it has ended (the window thread answers its events while a film is
    // made durable); runs it on the caller when the pool cannot take it.
    static void runAside(WorkerPool& pool, const std::function<void()>& task, const std::function<void()>& whileWaiting);

    WorkerPool& pool() const { return m_pool; }
    const char* threadName() const { return m_threadName; }

private:
    friend class WorkerPool;
    void begin();
    void end();

    WorkerPool& m_pool;
    const char* const m_threadName;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_waiting = 0; // queued, not begun
    int m_running = 0;
    int m_begun = 0;
};
