// SPDX-License-Identifier: GPL-2.0-or-later
// What the loader remembers of a decode, in memory and in the shared cache: a thumbnail, or a
// failure mark for a photo that is no picture, but nothing of a decode that a want of memory or a
// read error spoilt; those are tried again. And reduced pictures at the size the screen needs: the
// size chosen for a device pixel ratio, and a loader that takes a cached entry of that size or a
// larger one, never a smaller. New entries handed to a writer wait within its budget and come out
// as if written at once.

#include "thumbnails/cachewriter.h"
#include "thumbnails/reducedpicture.h"
#include "thumbnails/reducedpictureloader.h"
#include "thumbnails/reducedpicturestore.h"
#include "tests/imaging/fixtures.h"
#include "tests/imaging/mappingfaults.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QMap>
#include <QTemporaryDir>

#include <vector>

TEST(ReducedPictureLoader, RemembersOnlyWhatAnotherAttemptWouldGiveAgain)
{
    const struct {
        const char* name;
        bool picture; // a JPEG, else a letter named like one
        MappedFile::MappingHook fault;
        bool gives;    // a picture now
        bool kept;     // in memory
        bool shared;   // as a thumbnail in the cache
        bool marked;   // as a failure in the cache
    } cases[] = {
        {"good.jpg", true, nullptr, true, true, true, false},
        {"letter.jpg", false, nullptr, false, true, false, true},
        {"nomemory.jpg", true, MappingFaults::refuseMemory, false, false, false, false},
        {"ioerror.jpg", true, MappingFaults::failSecondPage, true, false, false, false},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString root = dir.path() + "/thumbnails";
    const QImage photo = Fixtures::noisy(640, 480);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.path() + '/' + c.name;
        if (c.picture) {
            ASSERT_TRUE(photo.save(path, "JPG"));
        } else {
            QFile letter(path);
            ASSERT_TRUE(letter.open(QIODevice::WriteOnly) && letter.write("Dear reader,\n") > 0);
        }
        const FileStamp stamp = FileStamp::of(path);
        ReducedPictureStore store;
        {
            MappingFaults::Scope fault(c.fault);
            const auto first = ReducedPictureLoader(&store, ThumbnailCache(root)).load(path, stamp);
            ASSERT_TRUE(first);
            EXPECT_EQ(first->isDecoded(), c.gives);
        }
        const ThumbnailCache cache(root);
        EXPECT_EQ(store.find(path, stamp) != nullptr, c.kept);
        EXPECT_EQ(!cache.load(path, stamp).isNull(), c.shared);
        EXPECT_EQ(cache.isKnownFailure(path, stamp), c.marked);

        // The next run decodes what was not remembered, and now gets the whole picture.
        const int decodes = ReducedPictureLoader::decodeCount();
        const auto next = ReducedPictureLoader(nullptr, ThumbnailCache(root)).load(path, stamp);
        EXPECT_EQ(ReducedPictureLoader::decodeCount() - decodes, c.shared || c.marked ? 0 : 1);
        ASSERT_TRUE(next);
        EXPECT_EQ(next->isDecoded(), c.picture);
    }
}

TEST(ReducedPicture, SizeIsTheLeastThatCoversTheLargestCellAtTheRatio)
{
    const struct {
        qreal ratio;
        int side;
    } cases[] = {{1.0, 256}, {1.25, 256}, {1.28, 256}, {1.5, 512}, {2.0, 512}, {2.56, 512}, {3.0, 1024}, {4.0, 1024}};
    for (const auto& c : cases)
        EXPECT_EQ(ReducedPicture::sideFor(c.ratio), c.side) << c.ratio;
}

TEST(ReducedPictureLoader, TakesACachedEntryOfTheSizeOrLargerAndNeverASmallerOne)
{
    const struct {
        std::vector<int> cached; // sizes of the entries in the cache before the load
        int side;                // the size the loader needs
        bool decodes;
    } cases[] = {{{}, 256, true},        {{}, 512, true},      {{}, 1024, true},   {{256}, 256, false},
                 {{256}, 512, true},     {{512}, 512, false},  {{1024}, 512, false}, {{512}, 256, false},
                 {{256, 512}, 1024, true}, {{256}, 1024, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "need " << c.side << ", first cached " << (c.cached.empty() ? 0 : c.cached[0]));
        QTemporaryDir dir;
        const QString photo = dir.filePath("photo.jpg");
        QImage picture(2400, 1800, QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixel(x, y, qRgb(x / 10 % 256, y / 8 % 256, 90));
        ASSERT_TRUE(picture.save(photo, "JPEG", 90));
        const FileStamp stamp = FileStamp::of(photo);
        const ThumbnailCache cache(dir.filePath("thumbnails"));
        for (const int side : c.cached) {
            const QSize fitted = ReducedPicture::fittedSize(picture.size(), side);
            ASSERT_TRUE(cache.store(photo, stamp, picture.scaled(fitted), picture.size(), side));
        }
        const int before = ReducedPictureLoader::decodeCount();
        const auto reduced = ReducedPictureLoader(nullptr, cache, c.side).load(photo, stamp);
        EXPECT_EQ(ReducedPictureLoader::decodeCount() - before, c.decodes ? 1 : 0);
        ASSERT_TRUE(reduced && reduced->isDecoded());
        EXPECT_EQ(reduced->picture.size(), ReducedPicture::fittedSize(picture.size(), c.side));
        EXPECT_EQ(reduced->photoSize, picture.size());
        EXPECT_TRUE(reduced->covers(c.side));
        if (c.decodes)
            EXPECT_EQ(cache.load(photo, stamp, nullptr, c.side).size(), reduced->picture.size()) << "shared at its size";
        // The picture is the photo's: its colours where the photo has them.
        const QRgb centre = reduced->picture.pixel(reduced->picture.width() / 2, reduced->picture.height() / 2);
        EXPECT_NEAR(qBlue(centre), 90, 6);
    }
}

TEST(CacheWriter, EntriesWaitWithinTheBudgetAndComeOutAsIfWrittenAtOnce)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("photo.jpg");
    ASSERT_TRUE(Fixtures::noisy(640, 480).save(path, "JPG"));
    const FileStamp stamp = FileStamp::of(path);
    // Every file under `root` (an entry, or a temporary one left behind), by name.
    auto files = [](const QString& root) {
        QMap<QString, QByteArray> found;
        for (QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
            QFile file(it.next());
            found.insert(file.fileName().mid(root.size()), file.open(QIODevice::ReadOnly) ? file.readAll() : "?");
        }
        return found;
    };
    ReducedPictureLoader(nullptr, ThumbnailCache(dir.filePath("at-once"))).load(path, stamp);
    const auto expected = files(dir.filePath("at-once"));
    ASSERT_EQ(expected.size(), 1);

    const std::size_t roomy = CacheWriter::kHeldBudget;
    const struct {
        const char* name;
        int threads;
        std::size_t budget;
        bool kept;   // the picture is kept in the store too
        bool atOnce; // the entry is there before any flush (without threads)
        bool flush;  // else the writer ends with the entry waiting
    } cases[] = {
        {"waits", 0, roomy, false, false, true},
        {"over-budget", 0, 0, false, true, true},
        {"kept-holds-nothing", 0, 0, true, false, true},
        {"dropped-at-end", 0, roomy, false, false, false},
        {"own-threads", 2, roomy, false, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString root = dir.filePath(c.name);
        ReducedPictureStore store;
        {
            CacheWriter writer(c.budget, c.threads);
            const auto picture =
                ReducedPictureLoader(c.kept ? &store : nullptr, ThumbnailCache(root), 256, &writer).load(path, stamp);
            ASSERT_TRUE(picture && picture->isDecoded());
            if (c.threads == 0)
                EXPECT_EQ(files(root).size(), c.atOnce ? 1 : 0);
            if (c.flush)
                writer.flush();
            EXPECT_EQ(writer.pending(), c.flush ? 0 : 1);
        }
        EXPECT_EQ(files(root), c.flush ? expected : decltype(expected)()) << "nothing half-written is left";
    }
}
