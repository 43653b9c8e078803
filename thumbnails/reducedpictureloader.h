// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Where the photo list's thumbnails come from: each photo's reduced picture is taken from memory
// when the photo is unchanged since it was made, else from the desktop's thumbnail cache, else
// decoded (and then shared through the cache). A photo that is damaged or no picture is
// remembered as such, so that it is not decoded again while it is unchanged; a decode spoilt by a
// read error or a want of memory is remembered nowhere and is tried again next time. The cache is an optimisation and
// untrusted: an entry that is not exactly a thumbnail of the photo as it is now is passed over.
// Safe to call from several threads at once.

#include "platform/files/filestamp.h"
#include "thumbnails/reducedpicture.h"
#include "thumbnails/thumbnailcache.h"

#include <QString>

#include <memory>
#include <optional>

class CacheWriter;
class ReducedPictureStore;

class ReducedPictureLoader {
public:
    // `store` may be null, and so may `cache`: photos are then decoded each time. Pictures cover
    // `side` (see ReducedPicture::sideFor): a larger one kept or cached serves, a smaller never.
    // With a `writer`, new cache entries are handed to it; without, written at once.
    ReducedPictureLoader(ReducedPictureStore* store, std::optional<ThumbnailCache> cache,
                         int side = ReducedPicture::kLargestSide, CacheWriter* writer = nullptr);

    // The reduced picture of the photo at `path` as it is now; `stamp` is its state, read before.
    // One not found in the store is kept there only with `keep`.
    std::shared_ptr<const ReducedPicture> load(const QString& path, const FileStamp& stamp, bool keep = true) const;
    // How many pictures the store holds at this loader's side (0 without a store).
    std::size_t storeRoom() const;

    // Photos decoded so far by every loader of the process (tests and benchmarks count them).
    static int decodeCount();

private:
    struct Decoded {
        std::shared_ptr<const ReducedPicture> picture;
        bool lasting = false; // what another attempt on the unchanged file would give too
    };

    // `name` is the photo's absolute on-disk name (ThumbnailCache::nameOf), made once a load.
    std::shared_ptr<const ReducedPicture> fromCache(const QByteArray& name, const FileStamp& stamp) const;
    Decoded decode(const QString& path, const QByteArray& name) const;
    void share(const QString& path, const QByteArray& name, const FileStamp& stamp, const Decoded& decoded,
               bool keep) const;

    ReducedPictureStore* m_store;
    std::optional<ThumbnailCache> m_cache;
    int m_side;
    CacheWriter* m_writer;
};
