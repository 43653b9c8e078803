// SPDX-License-Identifier: GPL-2.0-or-later
#include "thumbnails/thumbnailcache.h"

#include "thumbnails/cachefile.h"
#include "thumbnails/thumbnailentry.h"
#include "platform/paths/localpath.h"

#include <QCryptographicHash>
#include <QLoggingCategory>

#include <algorithm>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A 256 x 256 picture of 16-bit RGBA samples stored without compression takes 526 KB; a larger
// size's entry may take as much for each pixel.
qint64 maxEntryBytes(int side)
{
    return std::max<qint64>(2 * 1024 * 1024, qint64(side) * side * 8 + 64 * 1024);
}

// Bytes other than these are escaped, as GLib does: RFC 2396's path characters less ';'.
bool keptInUri(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
        || QByteArrayView("-_.!~*'()/:@&=+$,").contains(c);
}

QByteArray fileUri(const QByteArray& absolute)
{
    static const char kHex[] = "0123456789ABCDEF";
    QByteArray uri("file://");
    for (const char c : absolute) {
        if (keptInUri(c)) {
            uri += c;
        } else {
            const auto byte = uchar(c);
            uri += '%';
            uri += kHex[byte >> 4];
            uri += kHex[byte & 0xF];
        }
    }
    return uri;
}

QByteArray entryName(const QByteArray& uri)
{
    return QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex() + ".png";
}

Q_LOGGING_CATEGORY(lcCache, "strevio.cache", QtWarningMsg)

// Once a run for each folder.
void warnOnce(const QByteArray& folder)
{
    static CacheFile::FolderSet told;
    if (!told.insert(folder))
        return;
    qCWarning(lcCache).noquote() << QStringLiteral("%1: not used as a thumbnail cache: it belongs to another user "
                                                   "or others may write in it")
                                        .arg(LocalPath::display(LocalPath::decode(folder)));
}

QByteArray homeFolder()
{
    const QByteArray home = qgetenv("HOME");
    if (!home.isEmpty())
        return home;
    struct passwd entry {};
    struct passwd* found = nullptr;
    char buffer[4096];
    return ::getpwuid_r(::getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found ? QByteArray(found->pw_dir)
                                                                                          : QByteArray();
}

} // namespace

ThumbnailCache::ThumbnailCache(const QString& rootFolder)
    : m_root(nameOf(rootFolder))
    , m_resolvedRoot(LocalPath::resolvedName(m_root))
    , m_large(m_root + "/large")
    , m_failures(m_root + "/fail/strevio-" STREVIO_VERSION)
{
    const QByteArray folders[] = {m_root, m_large, sizeFolder(512), sizeFolder(1024), m_root + "/fail", m_failures};
    for (const QByteArray& folder : folders)
        if (m_root.size() > 1 && !CacheFile::isPrivateFolder(folder)) {
            m_private = false;
            warnOnce(folder);
            break;
        }
}

QString ThumbnailCache::defaultRoot()
{
    // A relative $XDG_CACHE_HOME is invalid and ignored, as the XDG base directories say.
    const QByteArray cache = qgetenv("XDG_CACHE_HOME");
    if (cache.startsWith('/'))
        return LocalPath::decode(cache + "/thumbnails");
    const QByteArray home = homeFolder();
    return home.startsWith('/') ? LocalPath::decode(home + "/.cache/thumbnails") : QString();
}

QByteArray ThumbnailCache::nameOf(const QString& photoPath)
{
    return LocalPath::absoluteName(LocalPath::encode(photoPath));
}

QByteArray ThumbnailCache::uriOf(const QString& photoPath)
{
    const QByteArray absolute = nameOf(photoPath);
    return absolute.isEmpty() ? QByteArray() : fileUri(absolute);
}

QImage ThumbnailCache::load(const QByteArray& photo, const FileStamp& stamp, QSize* photoSize, int side) const
{
    if (photoSize)
        *photoSize = QSize();
    const QByteArray folder = sizeFolder(side);
    return folder.isEmpty() ? QImage() : read(folder, photo, stamp, false, photoSize, side);
}

QByteArray ThumbnailCache::sizeFolder(int side) const
{
    switch (side) {
    case 256: return m_large;
    case 512: return m_root + "/x-large";
    case 1024: return m_root + "/xx-large";
    default: return QByteArray();
    }
}

bool ThumbnailCache::store(const QByteArray& photo, const FileStamp& stamp, const QImage& thumbnail,
                           const QSize& photoSize, int side) const
{
    const QByteArray folder = sizeFolder(side);
    if (!serves(photo, stamp) || thumbnail.isNull() || folder.isEmpty())
        return false;
    const QImage fitted = qMax(thumbnail.width(), thumbnail.height()) > side
                            ? thumbnail.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                            : thumbnail;
    if (!ThumbnailEntry::isThumbnailOf(fitted.size(), photoSize, side))
        return false;
    const QByteArray uri = fileUri(photo);
    const QByteArray png = ThumbnailEntry::encode(fitted, uri, stamp, photoSize);
    return !png.isEmpty() && CacheFile::replace(folder, entryName(uri), png);
}

bool ThumbnailCache::isKnownFailure(const QByteArray& photo, const FileStamp& stamp) const
{
    return !read(m_failures, photo, stamp, true).isNull();
}

bool ThumbnailCache::storeFailure(const QByteArray& photo, const FileStamp& stamp) const
{
    if (!serves(photo, stamp))
        return false;
    // The standard's "empty PNG": one transparent pixel carrying the keys.
    QImage mark(1, 1, QImage::Format_ARGB32);
    mark.fill(Qt::transparent);
    const QByteArray uri = fileUri(photo);
    const QByteArray png = ThumbnailEntry::encode(mark, uri, stamp, QSize());
    return !png.isEmpty() && CacheFile::replace(m_failures, entryName(uri), png);
}

// Files inside the cache are never thumbnailed themselves, as the standard asks, whichever links
// lead to the cache or to the photo.
bool ThumbnailCache::serves(const QByteArray& photo, const FileStamp& stamp) const
{
    if (!m_private || m_root.size() <= 1 || !stamp.valid() || photo.isEmpty() || photo.startsWith(m_root + '/'))
        return false;
    return !LocalPath::resolvedName(photo).startsWith(m_resolvedRoot + '/');
}

QImage ThumbnailCache::read(const QByteArray& folder, const QByteArray& photo, const FileStamp& stamp,
                            bool failureMark, QSize* photoSize, int side) const
{
    if (photoSize)
        *photoSize = QSize();
    if (!serves(photo, stamp))
        return QImage();
    const QByteArray uri = fileUri(photo);
    QByteArray data;
    if (!CacheFile::read(folder + '/' + entryName(uri), maxEntryBytes(side), &data))
        return QImage();
    const ThumbnailEntry entry = ThumbnailEntry::decode(data, side);
    if (!entry.describes(uri, stamp) || (!failureMark && !entry.isFullThumbnail()))
        return QImage();
    if (photoSize)
        *photoSize = entry.photoSize();
    return entry.image();
}
