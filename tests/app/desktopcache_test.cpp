// SPDX-License-Identifier: GPL-2.0-or-later
// The desktop's thumbnail cache seen from the photo list: a list opened again in a new run takes
// its thumbnails from the cache, and a cache that is damaged, hostile or cannot be written gives
// the same thumbnails as no cache, without a word.

#include "strevioapptest.h"

#include "thumbnails/cachewriter.h"
#include "thumbnails/reducedpicture.h"
#include "thumbnails/reducedpictureloader.h"
#include "thumbnails/reducedpicturestore.h"
#include "thumbnails/thumbnailcache.h"
#include "thumbnails/thumbnailentry.h"
#include "thumbnails/thumbnailsettings.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <unistd.h>

namespace {

QImage Photo(int width, int height, int seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 3 + seed * 50) % 256, (y * 2 + x) % 256, (seed * 70 + y) % 256));
    return image;
}

double Psnr(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.isNull())
        return 0;
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            for (int d : {qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q)})
                sum += double(d) * d;
        }
    const double mse = sum / (3.0 * a.width() * a.height());
    return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

} // namespace

class DesktopCacheTest : public StrevioAppTest {
protected:
    void SetUp() override
    {
        StrevioAppTest::SetUp();
        ASSERT_TRUE(m_cacheHome.isValid());
        m_savedHome = qgetenv("XDG_CACHE_HOME");
        qputenv("XDG_CACHE_HOME", m_cacheHome.path().toUtf8());
        m_saved = ThumbnailSettings::current();
        ReducedPictureStore::shared().clear();
        for (int i = 0; i < 5; ++i)
            ASSERT_TRUE(Photo(900 - 100 * i, 500 + 60 * i, i).save(PhotoPath(QStringLiteral("p%1.jpg").arg(i)), "JPEG", 90));
        QFile broken(PhotoPath("p5.jpg"));
        ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
        broken.write("\xFF\xD8\xFF this is no photo");
    }
    void TearDown() override
    {
        ThumbnailSettings::current() = m_saved;
        ReducedPictureStore::shared().clear();
        qputenv("XDG_CACHE_HOME", m_savedHome);
        StrevioAppTest::TearDown();
    }

    // The cells of a list opened now, as a new run of the program would open it; the run then
    // stays until its new cache entries are written, as when it is left idle for a moment.
    std::vector<QImage> OpenInANewRun(int zoomSteps = 0)
    {
        ReducedPictureStore::shared().clear();
        CListView_Photos* list = OpenList(PhotoPath("p0.jpg"));
        if (!list)
            return {};
        for (int i = 0; i < zoomSteps; ++i)
            list->OnZoomPlus();
        CacheWriter::shared().flush();
        return list->m_ImageList.GetData()->images;
    }

    std::vector<QImage> WithoutCache(int zoomSteps = 0)
    {
        const ThumbnailSettings saved = ThumbnailSettings::current();
        ThumbnailSettings::current().diskCache = false;
        ThumbnailSettings::current().memory = false;
        std::vector<QImage> cells = OpenInANewRun(zoomSteps);
        ThumbnailSettings::current() = saved;
        return cells;
    }

    QString EntryPath(const QString& photo) const
    {
        const QByteArray md5 = QCryptographicHash::hash(ThumbnailCache::uriOf(photo), QCryptographicHash::Md5).toHex();
        return m_cacheHome.path() + "/thumbnails/large/" + QString::fromLatin1(md5) + ".png";
    }

    QTemporaryDir m_cacheHome;
    QByteArray m_savedHome;
    ThumbnailSettings m_saved;
};

TEST_F(DesktopCacheTest, ANewRunTakesItsThumbnailsFromTheCacheAndShowsTheSameCells)
{
    const std::vector<QImage> expected = WithoutCache();
    OpenInANewRun();
    EXPECT_TRUE(QFile::exists(EntryPath(PhotoPath("p0.jpg"))));
    const int decodes = ReducedPictureLoader::decodeCount();
    EXPECT_EQ(OpenInANewRun(), expected);
    EXPECT_EQ(ReducedPictureLoader::decodeCount(), decodes) << "no photo decoded, the one that cannot be included";
    // Zoomed to the largest cells, the cache still answers for every photo.
    EXPECT_EQ(OpenInANewRun(5), WithoutCache(5));
}

TEST_F(DesktopCacheTest, DamagedOrHostileEntriesGiveTheThumbnailsOfNoCache)
{
    OpenInANewRun();
    const std::vector<QImage> expected = WithoutCache();
    auto plant = [](const QString& path, const QByteArray& bytes) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
    };
    QFile original(EntryPath(PhotoPath("p1.jpg")));
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray p1 = original.readAll();
    original.close();
    ASSERT_TRUE(plant(EntryPath(PhotoPath("p0.jpg")), "garbage, not a PNG"));
    ASSERT_TRUE(plant(EntryPath(PhotoPath("p1.jpg")), p1.left(p1.size() / 2)));
    ASSERT_TRUE(plant(EntryPath(PhotoPath("p2.jpg")), p1)); // another photo's entry under this name
    // A picture that is no thumbnail of the photo size it states.
    const FileStamp stamp3 = FileStamp::of(PhotoPath("p3.jpg"));
    const QImage wrong = Photo(600, 680, 9).scaled(ReducedPicture::fittedSize(QSize(600, 680)));
    ASSERT_TRUE(plant(EntryPath(PhotoPath("p3.jpg")),
                      ThumbnailEntry::encode(wrong, ThumbnailCache::uriOf(PhotoPath("p3.jpg")), stamp3, QSize(680, 600))));
    ASSERT_EQ(::truncate(QFile::encodeName(EntryPath(PhotoPath("p4.jpg"))).constData(), 2000000000), 0);
    EXPECT_EQ(OpenInANewRun(), expected);
    EXPECT_TRUE(m_messages.isEmpty());
    // The damaged entries were made again.
    EXPECT_EQ(OpenInANewRun(), expected);
    EXPECT_LT(QFileInfo(EntryPath(PhotoPath("p4.jpg"))).size(), 1000000);
}

TEST_F(DesktopCacheTest, ACacheThatCannotBeWrittenGivesTheSameThumbnails)
{
    const std::vector<QImage> expected = WithoutCache();
    // The cache's folder would be inside a regular file.
    QFile blocker(m_cacheHome.filePath("thumbnails"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_EQ(OpenInANewRun(), expected);
    EXPECT_EQ(OpenInANewRun(), expected);
    EXPECT_TRUE(m_messages.isEmpty());
}

TEST_F(DesktopCacheTest, AnEntryMadeByAnotherProgramLooksTheSame)
{
    const std::vector<QImage> expected = WithoutCache();
    // Another program's scaler: the photo reduced in one fast step.
    for (int i = 0; i < 5; ++i) {
        const QString photo = PhotoPath(QStringLiteral("p%1.jpg").arg(i));
        const QImage whole(photo);
        const QImage theirs = whole.scaled(ReducedPicture::fittedSize(whole.size()), Qt::IgnoreAspectRatio, Qt::FastTransformation);
        FileStamp stamp = FileStamp::of(photo);
        const QByteArray entry = ThumbnailEntry::encode(theirs, ThumbnailCache::uriOf(photo), stamp, whole.size());
        ASSERT_TRUE(QDir().mkpath(QFileInfo(EntryPath(photo)).path()));
        QFile file(EntryPath(photo));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(entry) == entry.size());
    }
    const int decodes = ReducedPictureLoader::decodeCount();
    const std::vector<QImage> cells = OpenInANewRun();
    EXPECT_EQ(ReducedPictureLoader::decodeCount() - decodes, 1) << "only the photo that cannot be decoded";
    ASSERT_EQ(cells.size(), expected.size());
    for (size_t i = 0; i < 5; ++i)
        EXPECT_GE(Psnr(cells[i], expected[i]), 35.0) << i;
}

TEST_F(DesktopCacheTest, APhotoChangedBetweenTheScanAndItsDecodeIsNotRememberedForTheEarlierState)
{
    const QString photo = PhotoPath("p0.jpg");
    const FileStamp scanned = FileStamp::of(photo);
    // Replaced after the scan read its state, before the decode.
    ASSERT_TRUE(Photo(640, 480, 8).save(photo + ".new", "JPEG", 90));
    ASSERT_EQ(::rename(QFile::encodeName(photo + ".new").constData(), QFile::encodeName(photo).constData()), 0);
    ReducedPictureStore store;
    const ThumbnailCache cache(m_cacheHome.path() + "/thumbnails");
    const ReducedPictureLoader loader(&store, cache);
    const auto picture = loader.load(photo, scanned);
    ASSERT_TRUE(picture->isDecoded());
    EXPECT_EQ(picture->photoSize, QSize(640, 480)) << "what is on disk now, as without any cache";
    EXPECT_EQ(store.find(photo, scanned), nullptr);
    EXPECT_TRUE(cache.load(photo, scanned).isNull());
    // Once its new state is read, the photo is remembered and shared.
    const FileStamp now = FileStamp::of(photo);
    loader.load(photo, now);
    EXPECT_NE(store.find(photo, now), nullptr);
    EXPECT_FALSE(cache.load(photo, now).isNull());
}
