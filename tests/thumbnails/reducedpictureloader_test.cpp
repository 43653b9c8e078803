// SPDX-License-Identifier: GPL-2.0-or-later
// What the loader remembers of a decode, in memory and in the shared cache: a thumbnail, or a
// failure mark for a photo that is no picture, but nothing of a decode that a want of memory or a
// read error spoilt; those are tried again.

#include "thumbnails/reducedpictureloader.h"
#include "thumbnails/reducedpicturestore.h"
#include "tests/imaging/mappingfaults.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

namespace {

QImage noisy(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    quint32 seed = 11;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            image.setPixel(x, y, seed >> 8);
        }
    return image;
}

} // namespace

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
    const QImage photo = noisy(640, 480);
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
