// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/workers/workerpool.h"

#include "platform/workers/workertasks.h"

#include <algorithm>
#include <system_error>

#include <pthread.h>
#include <sched.h>

namespace {
// Tasks that may wait for a thread, per thread.
constexpr int kQueuedPerThread = 8;

void NameThisThread(const char* name)
{
    pthread_setname_np(pthread_self(), name);
}
} // namespace

WorkerPool::WorkerPool(int threads, ThreadStarter starter)
{
    if (!starter)
        starter = [](std::function<void()> body) { return std::thread(std::move(body)); };
    try {
        for (int i = 0; i < threads; ++i)
            m_threads.push_back(starter([this] { serve(); }));
    } catch (const std::system_error&) {
        // Work runs on the threads there are; without any, on its callers' threads.
    }
    m_capacity = kQueuedPerThread * int(m_threads.size());
}

WorkerPool::~WorkerPool()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_queued.notify_all();
    for (std::thread& thread : m_threads)
        thread.join();
}

WorkerPool& WorkerPool::shared()
{
    static WorkerPool pool(std::max(usableCpus(), 2));
    return pool;
}

int WorkerPool::usableCpus()
{
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        return CPU_COUNT(&set);
    return int(std::max(1u, std::thread::hardware_concurrency()));
}

bool WorkerPool::enqueue(Task task, WorkerTasks* owner)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_stopping || int(m_queue.size()) >= m_capacity)
            return false;
        m_queue.push_back(Queued{std::move(task), owner});
    }
    m_queued.notify_one();
    return true;
}

int WorkerPool::withdraw(const WorkerTasks* owner)
{
    std::lock_guard lock(m_mutex);
    const auto kept = std::remove_if(m_queue.begin(), m_queue.end(),
                                     [owner](const Queued& queued) { return queued.owner == owner; });
    const int withdrawn = int(m_queue.end() - kept);
    m_queue.erase(kept, m_queue.end());
    return withdrawn;
}

void WorkerPool::serve()
{
    NameThisThread(kIdleThreadName);
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_queued.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
        if (m_stopping)
            return;
        Queued queued = std::move(m_queue.front());
        m_queue.pop_front();
        lock.unlock();
        queued.owner->begin();
        queued.task();
        queued.task = nullptr; // what the task holds goes before its owner hears it is done
        if (queued.owner->threadName())
            NameThisThread(kIdleThreadName);
        queued.owner->end();
        lock.lock();
    }
}
