#pragma once
// Where the photo list's thumbnails come from: each photo's reduced picture is taken from memory
// when the photo is unchanged since it was made, else decoded. Safe to call from several threads
// at once.

#include "imaging/filestamp.h"
#include "imaging/reducedpicture.h"

#include <QString>

#include <memory>

class ReducedPictureStore;

class ReducedPictureLoader {
public:
    // `store` may be null: every photo is then decoded.
    explicit ReducedPictureLoader(ReducedPictureStore* store);

    // The reduced picture of the photo at `path` as it is now; `stamp` is its state, read before.
    std::shared_ptr<const ReducedPicture> load(const QString& path, const FileStamp& stamp) const;

    // Photos decoded so far by every loader of the process (tests and benchmarks count them).
    static int decodeCount();

private:
    std::shared_ptr<const ReducedPicture> decode(const QString& path) const;

    ReducedPictureStore* m_store;
};
