// SPDX-License-Identifier: GPL-2.0-or-later
// The thumbnail cache shared with the desktop: names and keys as the freedesktop.org Thumbnail
// Managing Standard (and GNOME) have them, stale entries, permissions, writes that fail, hostile
// files, failure marks. A cache that cannot help reads as no cache: null images, false.

#include "thumbnails/thumbnailcache.h"
#include "platform/paths/localpath.h"
#include "tests/app/childprogram.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

namespace {

constexpr FileStamp kStamp{1000, 1700000000};

QImage gradient(int width, int height, bool opaque = true)
{
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgba(x, y, (x * y) & 0xFF, opaque ? 255 : (x + y) & 0xFF));
    return image.convertToFormat(opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
}

// PNG files put together by hand, so that hostile ones can be anything.
QByteArray be32(quint32 value)
{
    const char bytes[] = {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
    return QByteArray(bytes, 4);
}

QByteArray chunk(const char* type, const QByteArray& data)
{
    const QByteArray body = QByteArray(type) + data;
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(body.constData()), uInt(body.size()));
    return be32(quint32(data.size())) + body + be32(quint32(crc));
}

QByteArray tEXt(const QByteArray& key, const QByteArray& text)
{
    return chunk("tEXt", key + '\0' + text);
}

// A grey RGBA PNG of the size (Adam7 passes when interlaced) with the given text chunks first;
// the pixels of a huge claim stop after 4 MB.
QByteArray pngFile(quint32 width, quint32 height, const QByteArray& texts, bool interlaced = false)
{
    static const int adam7[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                    {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    static const int whole[1][4] = {{0, 0, 1, 1}};
    QByteArray raw;
    for (int p = 0; p < (interlaced ? 7 : 1); ++p) {
        const int* pass = interlaced ? adam7[p] : whole[0];
        const quint32 columns = (width + pass[2] - 1 - pass[0]) / pass[2];
        const quint32 rows = (height + pass[3] - 1 - pass[1]) / pass[3];
        for (quint32 y = 0; columns > 0 && y < rows && raw.size() < (1 << 22); ++y)
            raw += '\0' + QByteArray(qsizetype(columns) * 4, '\x80');
    }
    QByteArray header = be32(width) + be32(height) + QByteArray("\x08\x06\x00\x00", 4) + char(interlaced ? 1 : 0);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) + texts + chunk("IDAT", qCompress(raw).mid(4))
         + chunk("IEND", QByteArray());
}

QByteArray md5Hex(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex();
}

mode_t modeOf(const QString& path)
{
    struct stat st {};
    return ::lstat(LocalPath::encode(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::System | QDir::Hidden, QDir::Name);
}

// A tmpfs of its own (as in tests/app/filmfaults_test.cpp); valid() is false where mounting is refused.
class ScopedTmpfs {
public:
    explicit ScopedTmpfs(const char* options)
        : m_path(m_dir.path().toUtf8()), m_mounted(::mount("tmpfs", m_path.constData(), "tmpfs", 0, options) == 0)
        , m_error(m_mounted ? "" : std::strerror(errno))
    {
    }
    ~ScopedTmpfs()
    {
        if (m_mounted)
            ::umount2(m_path.constData(), MNT_DETACH);
    }
    bool valid() const { return m_mounted; }
    std::string error() const { return m_error; }
    QString path() const { return m_dir.path(); }
    bool setReadOnly() const
    {
        return ::mount("tmpfs", m_path.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_path;
    bool m_mounted;
    std::string m_error;
};

class ThumbnailCacheTest : public testing::Test {
protected:
    QString root() const { return m_dir.path() + "/thumbnails"; }
    ThumbnailCache cache() const { return ThumbnailCache(root()); }
    QString entryOf(const QString& photo, const QString& folder = "large") const
    {
        return root() + '/' + folder + '/' + md5Hex(ThumbnailCache::uriOf(photo)) + ".png";
    }
    QString plant(const QString& photo, const QByteArray& bytes) const
    {
        const QString entry = entryOf(photo);
        QDir().mkpath(root() + "/large");
        QFile file(entry);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        return entry;
    }
    QByteArray validKeys() const
    {
        return tEXt("Thumb::URI", ThumbnailCache::uriOf(m_photo)) + tEXt("Thumb::MTime", "1700000000");
    }

    QTemporaryDir m_dir;
    const QString m_photo = "/photos/Ferien 2023/strand.jpg";  // never read: the cache takes stamps as given
};

} // namespace

TEST(ThumbnailCacheNames, UrisArePercentEncodedBytesOfTheAbsolutePath)
{
    // The expected URIs are GLib's: g_filename_to_uri() from python3-gi on the same bytes.
    EXPECT_EQ(ThumbnailCache::uriOf("/home/jens/photos/me.png"), "file:///home/jens/photos/me.png");
    EXPECT_EQ(ThumbnailCache::uriOf(QString::fromUtf8("/tmp/Ferien 2023/\xc3\xa9t\xc3\xa9;#?%.jpg")),
              "file:///tmp/Ferien%202023/%C3%A9t%C3%A9%3B%23%3F%25.jpg");
    EXPECT_EQ(ThumbnailCache::uriOf(LocalPath::decode("/tmp/caf\xe9 1.jpg")), "file:///tmp/caf%E9%201.jpg");
    EXPECT_EQ(ThumbnailCache::uriOf("/x/!$&'()*+,-.:=@_~[]^.jpg"), "file:///x/!$&'()*+,-.:=@_~%5B%5D%5E.jpg");
    EXPECT_EQ(ThumbnailCache::uriOf("/a/./b/../c//d.jpg"), "file:///a/c/d.jpg");
    EXPECT_EQ(ThumbnailCache::uriOf("rel/x.jpg"), "file://" + QDir::currentPath().toUtf8() + "/rel/x.jpg");
}

TEST_F(ThumbnailCacheTest, EntriesAreNamedAfterTheMd5OfTheUri)
{
    // printf %s "file:///home/jens/photos/me.png" | md5sum (the standard's own example), and
    // printf %s "file:///tmp/caf%E9%201.jpg" | md5sum.
    ASSERT_TRUE(cache().store(QStringLiteral("/home/jens/photos/me.png"), kStamp, gradient(256, 192), QSize(4000, 3000)));
    ASSERT_TRUE(cache().store(LocalPath::decode("/tmp/caf\xe9 1.jpg"), kStamp, gradient(256, 192), QSize(4000, 3000)));
    EXPECT_EQ(filesIn(root() + "/large"),
              (QStringList{"c6ee772d9e49320e97ec29a7eb5b1697.png", "caf6df9a29008b656c313edd62a8aabe.png"}));
}

TEST_F(ThumbnailCacheTest, AStoredThumbnailLoadsWithItsPixelsAndKeys)
{
    const QImage opaque = gradient(256, 192);
    ASSERT_TRUE(cache().store(m_photo, kStamp, opaque, QSize(4000, 3000)));
    EXPECT_EQ(cache().load(m_photo, kStamp), opaque);

    const QImage asQtReadsIt(entryOf(m_photo));
    EXPECT_EQ(asQtReadsIt.convertToFormat(QImage::Format_RGB32), opaque);
    EXPECT_EQ(asQtReadsIt.text("Thumb::URI"), "file:///photos/Ferien%202023/strand.jpg");
    EXPECT_EQ(asQtReadsIt.text("Thumb::MTime"), "1700000000");
    EXPECT_EQ(asQtReadsIt.text("Thumb::Size"), "1000");
    EXPECT_EQ(asQtReadsIt.text("Software"), "Strevio " STREVIO_VERSION);
    QFile file(entryOf(m_photo));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(29).mid(24), QByteArray("\x08\x02\x00\x00\x00", 5));  // 8-bit RGB, not interlaced
    file.close();

    const QImage translucent = gradient(192, 256, false);
    ASSERT_TRUE(cache().store(m_photo, kStamp, translucent, QSize(3000, 4000)));
    EXPECT_EQ(cache().load(m_photo, kStamp).convertToFormat(QImage::Format_ARGB32),
              translucent.convertToFormat(QImage::Format_ARGB32));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(29).mid(24), QByteArray("\x08\x06\x00\x00\x00", 5)); // 8-bit RGBA where it has alpha

    ASSERT_TRUE(cache().store(m_photo, kStamp, gradient(512, 384), QSize(4000, 3000)));
    EXPECT_EQ(cache().load(m_photo, kStamp).size(), QSize(256, 192));
    ASSERT_TRUE(cache().store(m_photo, kStamp, gradient(100, 80), QSize(100, 80)));  // the photo is its own thumbnail
    EXPECT_EQ(cache().load(m_photo, kStamp), gradient(100, 80));
    EXPECT_FALSE(cache().store(m_photo, kStamp, gradient(128, 96), QSize(4000, 3000)));
    EXPECT_FALSE(cache().store(m_photo, kStamp, gradient(256, 256), QSize(4000, 3000)));
}

TEST_F(ThumbnailCacheTest, AnEntryForAnotherStateOfThePhotoIsStale)
{
    const QString photo = m_dir.path() + "/photo.jpg";
    QFile file(photo);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(QByteArray(1234, 'x')) == 1234);
    file.close();
    const FileStamp stamp = FileStamp::of(photo);
    EXPECT_EQ(stamp.size, 1234);
    EXPECT_FALSE(FileStamp::of(m_dir.path()).valid());
    ASSERT_TRUE(cache().store(photo, stamp, gradient(256, 192), QSize(400, 300)));
    EXPECT_FALSE(cache().load(photo, stamp).isNull());

    const struct timespec times[2] = {{0, UTIME_OMIT}, {stamp.mtimeSeconds - 1, 0}};  // older, not newer
    ASSERT_EQ(::utimensat(AT_FDCWD, photo.toUtf8().constData(), times, 0), 0);
    EXPECT_TRUE(cache().load(photo, FileStamp::of(photo)).isNull());
    EXPECT_TRUE(cache().load(photo, FileStamp{stamp.size + 1, stamp.mtimeSeconds}).isNull());

    // Within the same second and size, another write is another state too; the same times and
    // size in another file (a folder copied back with cp -a, a card mounted again) are not.
    ASSERT_TRUE(cache().store(photo, stamp, gradient(256, 192), QSize(400, 300)));
    FileStamp restored = stamp;
    restored.inode += 1;
    restored.device += 1;
    FileStamp rewritten = stamp;
    rewritten.mtimeNanoseconds = (stamp.mtimeNanoseconds + 1) % 1000000000;
    const struct {
        const char* state;
        FileStamp stamp;
        bool served;
    } states[] = {{"same", stamp, true}, {"restored", restored, true}, {"rewritten", rewritten, false}};
    for (const auto& s : states)
        EXPECT_EQ(cache().load(photo, s.stamp).isNull(), !s.served) << s.state;

    // Entries of earlier versions name the file too; their nanoseconds still count.
    FileStamp exact = kStamp;
    exact.mtimeNanoseconds = 250;
    const struct {
        const char* fileState;
        bool served;
    } earlier[] = {{"12:34:250", true}, {"250", true}, {"12:34:251", false}, {"251", false}};
    for (const auto& e : earlier) {
        plant(m_photo, pngFile(256, 192, validKeys() + tEXt("X-Strevio::FileState", e.fileState)));
        EXPECT_EQ(cache().load(m_photo, exact).isNull(), !e.served) << e.fileState;
    }

    // Thumb::Size is checked only when present; Thumb::MTime is required.
    plant(m_photo, pngFile(256, 192, validKeys()));
    EXPECT_FALSE(cache().load(m_photo, FileStamp{5, kStamp.mtimeSeconds}).isNull());
    plant(m_photo, pngFile(256, 192, tEXt("Thumb::URI", ThumbnailCache::uriOf(m_photo))));
    EXPECT_TRUE(cache().load(m_photo, kStamp).isNull());
}

TEST_F(ThumbnailCacheTest, FoldersAre0700AndFiles0600WhateverTheUmask)
{
    for (const mode_t mask : {0000, 0277}) {
        const QString photo = "/photos/" + QString::number(mask) + ".jpg";
        const mode_t saved = ::umask(mask);
        EXPECT_TRUE(cache().store(photo, kStamp, gradient(256, 192), QSize(256, 192)));
        EXPECT_TRUE(cache().storeFailure(photo, kStamp));
        ::umask(saved);
        for (const QString& folder :
             {root(), root() + "/large", root() + "/fail", root() + "/fail/strevio-" STREVIO_VERSION})
            EXPECT_EQ(modeOf(folder), 0700u) << folder.toStdString();
        EXPECT_EQ(modeOf(entryOf(photo)), 0600u);
        EXPECT_EQ(modeOf(entryOf(photo, "fail/strevio-" STREVIO_VERSION)), 0600u);
        QDir(root()).removeRecursively();
    }
}

TEST_F(ThumbnailCacheTest, ACacheThatCannotBeWrittenStoresNothingAndLeavesNothing)
{
    QFile blocker(m_dir.path() + "/file");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    const ThumbnailCache onAFile(blocker.fileName() + "/thumbnails");
    EXPECT_FALSE(onAFile.store(m_photo, kStamp, gradient(256, 192), QSize(256, 192)));
    EXPECT_FALSE(onAFile.storeFailure(m_photo, kStamp));
    EXPECT_TRUE(onAFile.load(m_photo, kStamp).isNull());
    EXPECT_FALSE(ThumbnailCache("").store(m_photo, kStamp, gradient(256, 192), QSize(256, 192)));
    // Files inside the cache are never thumbnailed.
    EXPECT_FALSE(cache().store(root() + "/large/x.png", kStamp, gradient(256, 192), QSize(256, 192)));

    ScopedTmpfs disk("size=1m,mode=0700");
    if (!disk.valid())
        GTEST_SKIP() << "a tmpfs cannot be mounted here: " << disk.error();
    const ThumbnailCache onDisk(disk.path() + "/thumbnails");
    ASSERT_TRUE(onDisk.store(m_photo, kStamp, gradient(256, 192), QSize(256, 192)));
    QFile filler(disk.path() + "/filler");
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
    while (filler.write(QByteArray(4096, 'x')) == 4096 && filler.flush()) {
    }
    const QStringList before = filesIn(disk.path() + "/thumbnails/large");
    EXPECT_FALSE(onDisk.store(QStringLiteral("/photos/other.jpg"), kStamp, gradient(256, 192), QSize(256, 192)));
    EXPECT_FALSE(onDisk.storeFailure(m_photo, kStamp));
    EXPECT_EQ(filesIn(disk.path() + "/thumbnails/large"), before);
    EXPECT_EQ(onDisk.load(m_photo, kStamp), gradient(256, 192));

    filler.remove();
    ASSERT_TRUE(disk.setReadOnly());
    EXPECT_FALSE(onDisk.store(QStringLiteral("/photos/other.jpg"), kStamp, gradient(256, 192), QSize(256, 192)));
    EXPECT_EQ(filesIn(disk.path() + "/thumbnails/large"), before);
    EXPECT_EQ(onDisk.load(m_photo, kStamp), gradient(256, 192));
}

TEST_F(ThumbnailCacheTest, HostileEntriesReadAsNoEntry)
{
    const QByteArray keys = validKeys();
    const QByteArray uri = ThumbnailCache::uriOf(m_photo);
    const QByteArray small = tEXt("Thumb::Image::Width", "100") + tEXt("Thumb::Image::Height", "80");
    const QByteArray mtime = tEXt("Thumb::MTime", "1700000000");
    // The builders are sound: these load.
    const QByteArray valid[] = {
        pngFile(256, 192, keys),
        pngFile(80, 100, keys + small),  // a small photo, as its own thumbnail
        pngFile(192, 256, chunk("zTXt", "Thumb::URI" + QByteArray(2, '\0') + qCompress(uri).mid(4)) + mtime),
        pngFile(256, 192, chunk("iTXt", "Thumb::URI" + QByteArray(5, '\0') + uri) + mtime),
    };
    for (const QByteArray& bytes : valid) {
        plant(m_photo, bytes);
        EXPECT_FALSE(cache().load(m_photo, kStamp).isNull()) << bytes.left(80).toHex().constData();
    }
    const QByteArray whole = pngFile(256, 192, keys);
    const QByteArray hostile[] = {
        QByteArray(5000, '\xA5'),
        whole.left(whole.size() / 2),
        whole.left(whole.size() - 12),  // no IEND
        pngFile(100000, 100000, keys),
        pngFile(300, 300, keys),
        pngFile(256, 192, keys, true),
        pngFile(256, 192, tEXt("Thumb::URI", "file:///photos/other.jpg") + mtime),
        pngFile(256, 192, keys + tEXt("Thumb::URI", "file:///photos/other.jpg")),
        pngFile(256, 192, tEXt("Thumb::URI", uri) + tEXt("Thumb::MTime", "1700000000.0")),
        pngFile(128, 96, keys),  // smaller than the large size with no word that the photo is that small
        pngFile(256, 192, keys + small),
        pngFile(256, 192, tEXt("Comment", "x").repeated(40) + keys),  // past the cap on text chunks
    };
    for (const QByteArray& bytes : hostile) {
        plant(m_photo, bytes);
        EXPECT_TRUE(cache().load(m_photo, kStamp).isNull()) << bytes.left(80).toHex().constData();
    }
}

TEST_F(ThumbnailCacheTest, WhatIsNotARegularFileOfAFewMegabytesIsNotRead)
{
    const QString entry = plant(m_photo, pngFile(256, 192, validKeys()));
    const QString elsewhere = m_dir.path() + "/elsewhere.png";
    ASSERT_TRUE(QFile::rename(entry, elsewhere));
    ASSERT_TRUE(QFile::link(elsewhere, entry));
    EXPECT_TRUE(cache().load(m_photo, kStamp).isNull());
    ASSERT_TRUE(QFile::remove(entry));
    ASSERT_EQ(::mkfifo(entry.toUtf8().constData(), 0600), 0);  // would block a reader without O_NONBLOCK
    EXPECT_TRUE(cache().load(m_photo, kStamp).isNull());
    ASSERT_TRUE(QFile::remove(entry));

    QFile huge(entry);  // a valid entry, then 2 GB of hole
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.write(pngFile(256, 192, validKeys())) > 0);
    ASSERT_TRUE(huge.resize(qint64(2) << 30));
    huge.close();
    const auto bytesRead = [] {
        QFile io("/proc/self/io");
        const QByteArray text = io.open(QIODevice::ReadOnly) ? io.readAll() : QByteArray();
        return text.mid(text.indexOf("rchar: ") + 7).split('\n').value(0).toLongLong();
    };
    const qint64 before = bytesRead();
    EXPECT_TRUE(cache().load(m_photo, kStamp).isNull());
    EXPECT_LT(bytesRead() - before, 1 << 20);
}

TEST_F(ThumbnailCacheTest, FailureMarksHoldWhileThePhotoIsUnchanged)
{
    EXPECT_FALSE(cache().isKnownFailure(m_photo, kStamp));
    ASSERT_TRUE(cache().storeFailure(m_photo, kStamp));
    EXPECT_TRUE(QFile::exists(entryOf(m_photo, "fail/strevio-" STREVIO_VERSION)));
    EXPECT_TRUE(cache().isKnownFailure(m_photo, kStamp));
    EXPECT_FALSE(cache().isKnownFailure(m_photo, FileStamp{kStamp.size, kStamp.mtimeSeconds + 1}));
    EXPECT_FALSE(cache().isKnownFailure(QStringLiteral("/photos/other.jpg"), kStamp));
    EXPECT_TRUE(cache().load(m_photo, kStamp).isNull());
}

// A cache reached through a link ($XDG_CACHE_HOME a symbolic link) still knows its own entries
// when its folder is opened through its real path, and the other way round.
TEST_F(ThumbnailCacheTest, EntriesOfTheCacheAreNeverThumbnailedWhateverLinksLeadThere)
{
    const QString real = m_dir.path() + "/real";
    const QString link = m_dir.path() + "/link";
    ASSERT_TRUE(QDir().mkpath(real + "/thumbnails/large") && QDir().mkpath(m_dir.path() + "/photos"));
    ASSERT_EQ(::symlink(LocalPath::encode(real).constData(), LocalPath::encode(link).constData()), 0);
    const struct {
        QString root;
        QString photo;
        bool served;
    } cases[] = {
        {link + "/thumbnails", real + "/thumbnails/large/0123.png", false},
        {real + "/thumbnails", link + "/thumbnails/large/0123.png", false},
        {link + "/thumbnails", link + "/./thumbnails/fail/x/0123.png", false},
        {link + "/thumbnails", m_dir.path() + "/photos/strand.jpg", true},
        {real + "/thumbnails", link + "/photo beside the cache.jpg", true},
    };
    for (const auto& c : cases) {
        const ThumbnailCache cache(c.root);
        EXPECT_EQ(cache.store(c.photo, kStamp, gradient(256, 192), QSize(400, 300)), c.served)
            << c.root.toStdString() << " " << c.photo.toStdString();
        EXPECT_EQ(cache.storeFailure(c.photo, kStamp), c.served) << c.photo.toStdString();
    }
}

// Entries could be planted in a folder that someone else owns or may write: such a cache is not
// used, whichever of its folders it is.
TEST_F(ThumbnailCacheTest, FoldersThatOthersOwnOrMayWriteAreNotUsed)
{
    const struct {
        const char* folder; // made first, then given the mode
        mode_t mode;
        bool otherOwner;
        bool used;
    } cases[] = {
        {"", 0700, false, true},
        {"", 0755, false, true},
        {"", 0770, false, false},
        {"", 0707, false, false},
        {"/large", 0775, false, false},
        {"/xx-large", 0777, false, false},
        {"/fail/strevio-" STREVIO_VERSION, 0722, false, false},
        {"/large", 0700, true, false},
    };
    int run = 0;
    for (const auto& c : cases) {
        const QString root = m_dir.path() + "/case" + QString::number(++run) + "/thumbnails";
        const QByteArray folder = LocalPath::encode(root + c.folder);
        ASSERT_TRUE(QDir().mkpath(root + c.folder));
        ASSERT_EQ(::chmod(folder.constData(), c.mode), 0);
        if (c.otherOwner && ::chown(folder.constData(), 65534, 65534) != 0) {
            std::printf("not checked: a folder of another user (chown: %s)\n", std::strerror(errno));
            continue;
        }
        const QString photo = m_dir.path() + "/photos/case" + QString::number(run) + ".jpg";
        const ThumbnailCache cache(root);
        EXPECT_EQ(cache.store(photo, kStamp, gradient(256, 192), QSize(400, 300)), c.used) << c.folder << " " << c.mode;
        EXPECT_EQ(cache.storeFailure(photo, kStamp), c.used) << c.folder << " " << c.mode;
    }
}

// A run killed while it wrote leaves its temporary entry; the next run removes it once its writer
// is gone, and nothing else.
TEST_F(ThumbnailCacheTest, TemporaryEntriesOfRunsThatAreGoneAreRemoved)
{
    ChildProgram ended;
    ASSERT_TRUE(ended.Start("/bin/true", {})) << ended.Error().toStdString();
    ASSERT_TRUE(ended.WaitForFinished(60000));
    const QByteArray gone = QByteArray::number(ended.Pid()), alive = QByteArray::number(::getppid());
    const struct {
        QByteArray name;
        bool kept;
    } files[] = {
        {"a.png.strevio-" + gone + "-0123456789abcdef.tmp", false},
        {"b.png.strevio-" + gone + "-1f2e.tmp", false}, // of an earlier version
        {"c.png.strevio-" + alive + "-0123456789abcdef.tmp", true},
        {"d.png.strevio-" + gone + "-0123456789abcdef.png", true},
        {"e.png.strevio-x" + gone + "-0123456789abcdef.tmp", true},
        {"f.png.other-" + gone + "-0123456789abcdef.tmp", true},
    };
    const QString large = root() + "/large";
    ASSERT_TRUE(QDir().mkpath(large));
    for (const auto& f : files) {
        QFile file(large + '/' + QString::fromLatin1(f.name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(cache().store(m_photo, kStamp, gradient(256, 192), QSize(400, 300)));
    const QStringList left = filesIn(large);
    for (const auto& f : files)
        EXPECT_EQ(left.contains(QString::fromLatin1(f.name)), f.kept) << f.name.constData();
}

TEST(ThumbnailCacheRoot, FollowsXdgCacheHomeOnlyWhenItIsAbsolute)
{
    const QByteArray home = "/home/someone";
    qputenv("HOME", home);
    qputenv("XDG_CACHE_HOME", "/var/cache/someone");
    EXPECT_EQ(ThumbnailCache::defaultRoot(), "/var/cache/someone/thumbnails");
    for (const char* ignored : {"relative/cache", ""}) {
        qputenv("XDG_CACHE_HOME", ignored);
        EXPECT_EQ(ThumbnailCache::defaultRoot(), QString::fromUtf8(home + "/.cache/thumbnails")) << ignored;
    }
    qunsetenv("XDG_CACHE_HOME");
    EXPECT_EQ(ThumbnailCache::defaultRoot(), QString::fromUtf8(home + "/.cache/thumbnails"));
}

// GNOME's thumbnail factory and GIO, through tests/thumbnails/gnome-thumbnails.py, at each size.
TEST_F(ThumbnailCacheTest, EntriesAreSharedWithGnome)
{
    const QByteArray photoBytes = m_dir.path().toUtf8() + "/Ferien caf\xe9.jpg";
    const QString photo = LocalPath::decode(photoBytes);
    ASSERT_TRUE(gradient(2000, 1500).save(m_dir.path() + "/p.jpg"));
    ASSERT_EQ(::rename((m_dir.path() + "/p.jpg").toUtf8().constData(), photoBytes.constData()), 0);
    const auto removePhoto = qScopeGuard([&] { ::unlink(photoBytes.constData()); });  // QTemporaryDir cannot name it
    const auto gnome = [&](const char* command, int side) {
        ChildProgram factory;
        if (!factory.Start("/usr/bin/env", {"XDG_CACHE_HOME=" + m_dir.path(), "/usr/bin/python3", GNOME_THUMBNAILS,
                                            command, QString::fromLatin1(photoBytes.toHex()), QString::number(side)})
            || !factory.WaitForFinished(60000))
            return std::string("<did not run>");
        return factory.ExitCode() == 77 ? std::string("skip") : factory.StandardOutput().toStdString();
    };
    const FileStamp stamp = FileStamp::of(photo);
    for (const auto& [side, folder] : {std::pair{256, "large"}, std::pair{512, "x-large"}, std::pair{1024, "xx-large"}}) {
        SCOPED_TRACE(folder);
        if (gnome("save", side) == "skip")
            GTEST_SKIP() << "GNOME's thumbnail factory is not installed (python3-gi, gir1.2-gnomedesktop-3.0)";
        const QImage fromGnome = cache().load(photo, stamp, nullptr, side);
        ASSERT_FALSE(fromGnome.isNull());
        EXPECT_EQ(fromGnome, QImage(entryOf(photo, folder)).convertToFormat(QImage::Format_RGB32));

        ASSERT_TRUE(QFile::remove(entryOf(photo, folder)));
        ASSERT_TRUE(cache().store(photo, stamp, gradient(side, side * 3 / 4), QSize(2000, 1500), side));
        const std::string entry = LocalPath::encode(entryOf(photo, folder)).toStdString();
        EXPECT_EQ(gnome("check", side), entry + '\n' + entry + " True\n");
    }

    // Same second, other size: GIO reads our Thumb::Size (of its largest entry), GNOME does not.
    ASSERT_EQ(::truncate(photoBytes.constData(), stamp.size - 1), 0);
    const struct timespec times[2] = {{0, UTIME_OMIT}, {stamp.mtimeSeconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, photoBytes.constData(), times, 0), 0);
    EXPECT_EQ(gnome("check", 256), LocalPath::encode(entryOf(photo)).toStdString() + '\n'
                                       + LocalPath::encode(entryOf(photo, "xx-large")).toStdString() + " False\n");
}

// Each of the standard's sizes has its folder; an entry is read only from the folder of its size,
// and only sizes the standard names are written.
TEST_F(ThumbnailCacheTest, EachSizeIsStoredAndReadInItsOwnFolder)
{
    const struct {
        int side;
        const char* folder;
    } sizes[] = {{256, "large"}, {512, "x-large"}, {1024, "xx-large"}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(size.folder);
        const QImage thumbnail = gradient(size.side, size.side * 3 / 4);
        ASSERT_TRUE(cache().store(m_photo, kStamp, thumbnail, QSize(4000, 3000), size.side));
        EXPECT_TRUE(QFile::exists(entryOf(m_photo, size.folder)));
        QSize photoSize;
        EXPECT_EQ(cache().load(m_photo, kStamp, &photoSize, size.side), thumbnail);
        EXPECT_EQ(photoSize, QSize(4000, 3000));
        EXPECT_FALSE(cache().store(m_photo, kStamp, gradient(size.side / 2, size.side * 3 / 8), QSize(4000, 3000), size.side))
            << "smaller than the folder's size";
    }
    // A larger size's entry planted in the folder of a smaller one is no entry.
    ASSERT_TRUE(QFile::remove(entryOf(m_photo, "large")));
    ASSERT_TRUE(QFile::copy(entryOf(m_photo, "x-large"), entryOf(m_photo, "large")));
    EXPECT_TRUE(cache().load(m_photo, kStamp, nullptr, 256).isNull());
    EXPECT_FALSE(cache().store(m_photo, kStamp, gradient(300, 225), QSize(4000, 3000), 300));
    EXPECT_TRUE(cache().load(m_photo, kStamp, nullptr, 128).isNull());
}
