// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/workers/workertasks.h"

#include "platform/workers/workerpool.h"

#include <pthread.h>

#include <chrono>

namespace {
thread_local void (*t_betweenParts)() = nullptr;
} // namespace

void WorkerTasks::setBetweenParts(void (*hook)())
{
    t_betweenParts = hook;
}

void WorkerTasks::betweenParts()
{
    if (t_betweenParts)
        t_betweenParts();
}

void WorkerTasks::runAside(WorkerPool& pool, const std::function<void()>& task, const std::function<void()>& whileWaiting)
{
    WorkerTasks aside(pool);
    if (!aside.submit(task)) {
        task();
        return;
    }
    // Threads held by work that waits (a film's helpers between frames) may leave the task
    // waiting for a thread: after a short while it is taken back and done here.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(50);
    std::unique_lock lock(aside.m_mutex);
    while (!aside.m_changed.wait_for(lock, std::chrono::milliseconds(5),
                                     [&aside] { return aside.m_waiting == 0 && aside.m_running == 0; })) {
        if (aside.m_begun == 0 && std::chrono::steady_clock::now() > giveUp
            && (aside.m_waiting -= aside.m_pool.withdraw(&aside)) == 0) {
            lock.unlock();
            task();
            return;
        }
        lock.unlock();
        whileWaiting();
        lock.lock();
    }
}

WorkerTasks::WorkerTasks(WorkerPool& pool, const char* threadName) : m_pool(pool), m_threadName(threadName) {}

WorkerTasks::~WorkerTasks()
{
    finish();
}

bool WorkerTasks::submit(std::function<void()> task)
{
    std::lock_guard lock(m_mutex);
    // Counted before the pool sees it: a thread may begin it at once.
    ++m_waiting;
    if (!m_pool.enqueue(std::move(task), this)) {
        --m_waiting;
        return false;
    }
    return true;
}

void WorkerTasks::finish()
{
    std::unique_lock lock(m_mutex);
    m_waiting -= m_pool.withdraw(this);
    m_changed.wait(lock, [this] { return m_waiting == 0 && m_running == 0; });
}

bool WorkerTasks::waitForBegun(int count)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return m_begun >= count || m_waiting == 0; });
    return m_begun >= count;
}

void WorkerTasks::begin()
{
    if (m_threadName)
        pthread_setname_np(pthread_self(), m_threadName);
    std::lock_guard lock(m_mutex);
    --m_waiting;
    ++m_running;
    ++m_begun;
    m_changed.notify_all();
}

void WorkerTasks::end()
{
    std::lock_guard lock(m_mutex);
    --m_running;
    m_changed.notify_all();
}
