// SPDX-License-Identifier: GPL-2.0-or-later
// The worker pool runs all the work it is given, on the threads it could start, or on none.

#include "platform/workers/workerpool.h"
#include "platform/workers/workertasks.h"
#include "thumbnails/thumbnailprefetcher.h"

#include <gtest/gtest.h>

#include <atomic>
#include <system_error>

namespace {

// Starts `allowed` threads, then fails as a process out of threads does.
WorkerPool::ThreadStarter FailingAfter(int allowed)
{
    return [allowed, started = 0](std::function<void()> body) mutable {
        if (started == allowed)
            throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
        ++started;
        return std::thread(std::move(body));
    };
}

QImage Numbered(int index)
{
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(qRgb(index % 256, index / 256, 3));
    return image;
}

} // namespace

TEST(WorkerPool, ThreadsThatCannotStartLeaveTheWorkToThoseThatDidOrToTheCaller)
{
    struct Case {
        int threads;
        int startable;
    };
    for (const Case c : {Case{4, 4}, Case{4, 1}, Case{4, 0}, Case{0, 0}}) {
        WorkerPool pool(c.threads, FailingAfter(c.startable));
        EXPECT_EQ(pool.threads(), c.startable);
        // A photo list's thumbnails: all of them, in order, each made once.
        std::atomic<int> made{0};
        {
            ThumbnailPrefetcher prefetcher(
                60, [&made](int index) { ++made; return Numbered(index); }, 3, pool);
            for (int i = 0; i < 60; ++i)
                ASSERT_EQ(prefetcher.take(i), Numbered(i)) << i << " of " << c.startable << " threads";
        }
        EXPECT_EQ(made.load(), 60) << c.startable << " threads";
        // Work ahead is bounded: with every thread held, at most capacity() tasks wait; finish()
        // drops those and waits for the ones begun.
        WorkerTasks tasks(pool);
        std::atomic<bool> release{false};
        std::atomic<int> ran{0};
        int queued = 0;
        while (queued <= pool.capacity() + pool.threads() && tasks.submit([&] {
            while (!release)
                std::this_thread::yield();
            ++ran;
        }))
            ++queued;
        release = true;
        tasks.finish();
        EXPECT_GE(queued, pool.capacity());
        EXPECT_LE(queued, pool.capacity() + pool.threads());
        EXPECT_EQ(queued == 0, c.startable == 0);
        EXPECT_LE(ran.load(), queued);
        // Work set aside runs on a thread of the pool while the caller answers (the task waits for
        // that), or on the caller when the pool has no thread.
        std::atomic<bool> answered{false};
        std::thread::id ranOn;
        WorkerTasks::runAside(
            pool,
            [&] {
                ranOn = std::this_thread::get_id();
                while (c.startable > 0 && !answered)
                    std::this_thread::yield();
            },
            [&answered] { answered = true; });
        EXPECT_EQ(ranOn == std::this_thread::get_id(), c.startable == 0);
        EXPECT_EQ(answered.load(), c.startable > 0);
    }
}

TEST(WorkerPool, UsesTheCpusTheProcessMayRunOn)
{
    cpu_set_t set;
    ASSERT_EQ(sched_getaffinity(0, sizeof set, &set), 0);
    EXPECT_EQ(WorkerPool::usableCpus(), CPU_COUNT(&set));
    EXPECT_EQ(WorkerPool::shared().threads(), std::max(CPU_COUNT(&set), 2));
}

// Work set aside while every thread is held by work that waits (a film's helpers) is taken back
// and done by the caller, not left waiting for a thread that will not come.
TEST(WorkerPool, WorkSetAsideIsDoneByTheCallerWhenEveryThreadIsHeld)
{
    WorkerPool pool(1);
    WorkerTasks holder(pool);
    std::atomic<bool> release{false};
    ASSERT_TRUE(holder.submit([&release] {
        while (!release)
            std::this_thread::yield();
    }));
    ASSERT_TRUE(holder.waitForBegun(1));
    std::thread::id ranOn;
    int answered = 0;
    WorkerTasks::runAside(pool, [&ranOn] { ranOn = std::this_thread::get_id(); }, [&answered] { ++answered; });
    release = true;
    EXPECT_EQ(ranOn, std::this_thread::get_id());
    EXPECT_GT(answered, 0);
}
