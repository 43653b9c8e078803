// SPDX-License-Identifier: GPL-2.0-or-later
// Thumbnails made ahead on worker threads come out in order, as the caller's own thread would
// make them, and no job outlives the prefetcher.

#include "thumbnails/reducedpicturestore.h"
#include "thumbnails/thumbnailprefetcher.h"
#include "platform/workers/workerpool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <new>
#include <optional>
#include <thread>

namespace {

QImage Numbered(int index)
{
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(qRgb(index % 256, index / 256, 7));
    return image;
}

FileStamp Stamp(qint64 size, qint64 seconds)
{
    FileStamp stamp;
    stamp.size = size;
    stamp.mtimeSeconds = seconds;
    return stamp;
}

std::shared_ptr<const ReducedPicture> Picture(int side)
{
    auto picture = std::make_shared<ReducedPicture>();
    picture->photoSize = QSize(side, side);
    picture->picture = QImage(side, side, QImage::Format_RGB888);
    return picture;
}

} // namespace

TEST(ThumbnailPrefetcher, GivesEveryThumbnailInOrderWhateverTheThreads)
{
    for (int threads : {0, 1, 2, 5}) {
        std::atomic<int> made{0};
        ThumbnailPrefetcher prefetcher(
            40,
            [&made](int index) {
                // Uneven work, so that workers finish out of order.
                std::this_thread::sleep_for(std::chrono::microseconds((index * 7919) % 500));
                ++made;
                return Numbered(index);
            },
            threads);
        for (int i = 0; i < 40; ++i)
            ASSERT_EQ(prefetcher.take(i), Numbered(i)) << i << " with " << threads << " threads";
        EXPECT_EQ(made.load(), 40) << "each thumbnail is made once";
    }
}

// Two workers make at most 2 × 4 thumbnails past the last one taken; the prefetcher's end waits
// for a job in hand (here one held until the end has begun) and lets no other begin.
TEST(ThumbnailPrefetcher, StopsWithTheJobsInHandAndStaysWithinItsLookahead)
{
    constexpr int kHeld = 5;
    constexpr int kLookaheadEnd = 2 + 2 * 4;
    std::optional<WorkerPool> pool(std::in_place, 2);
    std::atomic<int> begun{0};
    std::atomic<bool> release{false};
    std::atomic<bool> destroyed{false};
    std::atomic<bool> heldOutlivedItsPrefetcher{false};
    auto prefetcher = std::make_unique<ThumbnailPrefetcher>(
        1000,
        [&](int index) {
            ++begun;
            if (index == kHeld) {
                while (!release)
                    std::this_thread::yield();
                heldOutlivedItsPrefetcher = destroyed.load();
            }
            return Numbered(index);
        },
        2, *pool);
    prefetcher->take(0);
    prefetcher->take(1);
    // The workers go on up to the end of the lookahead, and no further (a failsafe, not a timing).
    const auto failsafe = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (begun < kLookaheadEnd && std::chrono::steady_clock::now() < failsafe)
        std::this_thread::yield();
    std::thread ending([&] {
        prefetcher.reset();
        destroyed = true;
    });
    release = true;
    ending.join();
    EXPECT_FALSE(heldOutlivedItsPrefetcher.load()) << "the end waited for the job in hand";
    const int begunAtTheEnd = begun.load();
    EXPECT_EQ(begunAtTheEnd, kLookaheadEnd);
    pool.reset(); // every thread joined: anything begun past the end would have run by now
    EXPECT_EQ(begun.load(), begunAtTheEnd);
}

TEST(ThumbnailPrefetcher, AThumbnailWithoutMemoryIsAnEmptyCell)
{
    ThumbnailPrefetcher prefetcher(
        3,
        [](int index) -> QImage {
            if (index == 1)
                throw std::bad_alloc();
            return Numbered(index);
        },
        2);
    EXPECT_EQ(prefetcher.take(0), Numbered(0));
    EXPECT_TRUE(prefetcher.take(1).isNull());
    EXPECT_EQ(prefetcher.take(2), Numbered(2));
}

TEST(ReducedPictureStore, ServesAPictureOnlyForItsFileStateAndKeepsWithinItsBudget)
{
    const std::size_t one = Picture(100)->bytes();
    ReducedPictureStore store(3 * one);
    store.keep("/a.jpg", Stamp(10, 1), Picture(100));
    store.keep("/b.jpg", Stamp(10, 1), Picture(100));
    store.keep("/c.jpg", Stamp(10, 1), Picture(100));
    EXPECT_NE(store.find("/a.jpg", Stamp(10, 1)), nullptr);
    EXPECT_EQ(store.find("/b.jpg", Stamp(11, 1)), nullptr) << "another size is another file";
    EXPECT_EQ(store.find("/b.jpg", Stamp(10, 1)), nullptr) << "and the stale picture is gone";
    EXPECT_EQ(store.bytes(), 2 * one);
    // a.jpg was used last, so c.jpg goes first.
    store.keep("/d.jpg", Stamp(10, 1), Picture(100));
    store.keep("/e.jpg", Stamp(10, 1), Picture(100));
    EXPECT_EQ(store.find("/c.jpg", Stamp(10, 1)), nullptr);
    EXPECT_NE(store.find("/a.jpg", Stamp(10, 1)), nullptr);
    EXPECT_LE(store.bytes(), 3 * one);
    store.keep("/f.jpg", Stamp(10, 1), Picture(400));
    EXPECT_EQ(store.find("/f.jpg", Stamp(10, 1)), nullptr) << "a picture over the whole budget is not kept";
    EXPECT_NE(store.find("/a.jpg", Stamp(10, 1)), nullptr) << "nor does it push the others out";
}
