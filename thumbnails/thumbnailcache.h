// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Thumbnails shared with the desktop through the freedesktop.org Thumbnail Managing Standard:
// <root>/large/<MD5 of the photo's URI>.png holds a thumbnail of at most 256 x 256 pixels with the
// photo's URI, modification time and size, and x-large/ and xx-large/ the same at 512 and 1024;
// <root>/fail/strevio-<version>/ remembers photos that could not be decoded. Other programs write
// there too, so each file is untrusted input: anything but a valid entry for the photo in its
// current state reads as no entry. A cache that cannot be read or written costs the attempt and
// nothing else; nothing here throws. A cache whose folders another user owns, or that group or
// others may write, is not used at all (entries could be planted there), with a warning under
// strevio.cache.

#include "platform/files/filestamp.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

class ThumbnailCache {
public:
    static constexpr int kLargestSide = 1024; // xx-large

    // The "thumbnails" folder; tests pass a temporary one.
    explicit ThumbnailCache(const QString& rootFolder);
    // $XDG_CACHE_HOME/thumbnails when that is an absolute path, else ~/.cache/thumbnails; empty
    // when there is no home folder either.
    static QString defaultRoot();
    // file:// and the absolute path's bytes, percent-encoded.
    static QByteArray uriOf(const QString& photoPath);
    // The photo's absolute on-disk name, which each call below takes in place of its path too:
    // a caller that asks more than once about a photo makes it once.
    static QByteArray nameOf(const QString& photoPath);

    // The thumbnail stored for the photo in the state `stamp`, RGB32 when opaque and
    // ARGB32_Premultiplied otherwise; a null image when there is no valid entry.
    // `photoSize`, when given, receives the photo's size that the entry states (invalid when it
    // states none). `side` is the size of the folder read: 256, 512 or 1024.
    QImage load(const QByteArray& photo, const FileStamp& stamp, QSize* photoSize = nullptr, int side = 256) const;
    QImage load(const QString& photoPath, const FileStamp& stamp, QSize* photoSize = nullptr, int side = 256) const
    {
        return load(nameOf(photoPath), stamp, photoSize, side);
    }
    // Stores `thumbnail` for the photo in the state `stamp`. `photoSize` is the whole photo's size
    // in pixels: the thumbnail must be the photo fitted into `side` x `side` (a larger one is scaled
    // down first), so a photo smaller than that is its own thumbnail; it goes into the folder of
    // that size (256, 512 or 1024). False when nothing was stored.
    bool store(const QByteArray& photo, const FileStamp& stamp, const QImage& thumbnail, const QSize& photoSize,
               int side = 256) const;
    bool store(const QString& photoPath, const FileStamp& stamp, const QImage& thumbnail, const QSize& photoSize,
               int side = 256) const
    {
        return store(nameOf(photoPath), stamp, thumbnail, photoSize, side);
    }

    // Failure marks: a photo that could not be decoded is not tried again while it is unchanged.
    bool isKnownFailure(const QByteArray& photo, const FileStamp& stamp) const;
    bool storeFailure(const QByteArray& photo, const FileStamp& stamp) const;
    bool isKnownFailure(const QString& photoPath, const FileStamp& stamp) const
    {
        return isKnownFailure(nameOf(photoPath), stamp);
    }
    bool storeFailure(const QString& photoPath, const FileStamp& stamp) const
    {
        return storeFailure(nameOf(photoPath), stamp);
    }

private:
    bool serves(const QByteArray& photo, const FileStamp& stamp) const;
    // The folder of thumbnails of `side` pixels; empty for a size the standard does not name.
    QByteArray sizeFolder(int side) const;
    QImage read(const QByteArray& folder, const QByteArray& photo, const FileStamp& stamp, bool failureMark,
                QSize* photoSize = nullptr, int side = 256) const;

    QByteArray m_root;
    QByteArray m_resolvedRoot; // links resolved, to know the cache's own files by any name
    bool m_private = true;     // no folder of it may be written by anyone else
    QByteArray m_large;
    QByteArray m_failures;
};
