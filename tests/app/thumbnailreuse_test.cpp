// SPDX-License-Identifier: GPL-2.0-or-later
// Thumbnails made once: a rebuild keeps the cells of unchanged photos, zoom steps come from the
// reduced pictures in memory, and every road (threads or none, memory or none) gives the same
// cells.

#include "strevioapptest.h"

#include "framework/cimagelist.h"
#include "framework/listviewwidget.h"
#include "thumbnails/reducedpictureloader.h"
#include "thumbnails/reducedpicturestore.h"
#include "thumbnails/thumbnailsettings.h"
#include "res/resource.h"

#include <QFile>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// A picture that differs everywhere, so a cell made from the wrong photo or scaled wrongly shows.
QImage Gradient(int width, int height, int seed, bool alpha = false)
{
    QImage image(width, height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgba((x * 255 / width + seed * 40) % 256, (y * 255 / height) % 256, (seed * 90) % 256,
                                       alpha && x < width / 3 ? 0 : 255));
    return image;
}

} // namespace

class ThumbnailReuseTest : public StrevioAppTest {
protected:
    void SetUp() override
    {
        StrevioAppTest::SetUp();
        m_saved = ThumbnailSettings::current();
        ReducedPictureStore::shared().clear();
    }
    void TearDown() override
    {
        ThumbnailSettings::current() = m_saved;
        ReducedPictureStore::shared().clear();
        ReducedPictureStore::shared().setBudget(ReducedPictureStore::kDefaultBudgetBytes);
        StrevioAppTest::TearDown();
    }

    // Photos of every kind the list meets: wide and tall, small and large, transparent, in
    // several formats, and one that cannot be decoded.
    void WriteMixedFolder()
    {
        ASSERT_TRUE(Gradient(640, 480, 1).save(PhotoPath("a_wide.jpg"), "JPEG", 90));
        ASSERT_TRUE(Gradient(300, 800, 2).save(PhotoPath("b_tall.png")));
        ASSERT_TRUE(Gradient(40, 30, 3).save(PhotoPath("c_small.bmp")));
        ASSERT_TRUE(Gradient(2600, 1700, 4).save(PhotoPath("d_large.jpg"), "JPEG", 85));
        ASSERT_TRUE(Gradient(500, 400, 5, true).save(PhotoPath("e_transparent.png")));
        ASSERT_TRUE(Gradient(1000, 250, 6).save(PhotoPath("f_panorama.tif")));
        QFile broken(PhotoPath("g_broken.jpg"));
        ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
        broken.write("not a photo at all");
    }

    static std::vector<QImage> Cells(CListView_Photos* list)
    {
        return list->m_ImageList.GetData()->images;
    }

    ThumbnailSettings m_saved;
};

TEST_F(ThumbnailReuseTest, DeleteAndARefreshOfAnUnchangedFolderDecodeNothing)
{
    WriteMixedFolder();
    const int before = ReducedPictureLoader::decodeCount();
    CListView_Photos* list = OpenList(PhotoPath("a_wide.jpg"));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->m_Photos.GetSize(), 7);
    EXPECT_EQ(ReducedPictureLoader::decodeCount() - before, 7);
    const std::vector<QImage> opened = Cells(list);

    Select(list, {1});
    QTest::keyClick(list->GetListCtrl().GetWidget(), Qt::Key_Delete);
    ASSERT_EQ(list->m_Photos.GetSize(), 6);
    list->OnRefreshPhotos();
    EXPECT_EQ(ReducedPictureLoader::decodeCount() - before, 7) << "nothing decoded again, the broken photo included";
    std::vector<QImage> expected = opened;
    expected.erase(expected.begin() + 1);
    EXPECT_EQ(Cells(list), expected);
    EXPECT_TRUE(Cells(list).back().isNull()) << "the photo that cannot be decoded keeps an empty cell";
}

TEST_F(ThumbnailReuseTest, ZoomStepsComeFromTheReducedPicturesAndMatchAFreshList)
{
    WriteMixedFolder();
    CListView_Photos* list = OpenList(PhotoPath("a_wide.jpg"));
    ASSERT_NE(list, nullptr);
    const int before = ReducedPictureLoader::decodeCount();
    for (int i = 0; i < 5; ++i)
        list->OnZoomPlus();
    ASSERT_EQ(list->m_ThumbWidth, 200);
    const std::vector<QImage> largest = Cells(list);
    for (int i = 0; i < 9; ++i)
        list->OnZoomMinus();
    ASSERT_EQ(list->m_ThumbWidth, 20);
    const std::vector<QImage> smallest = Cells(list);
    EXPECT_EQ(ReducedPictureLoader::decodeCount(), before) << "zooming decodes no photo";

    // A list that decodes everything afresh, on one thread, at those sizes shows the same cells.
    ThumbnailSettings::current().memory = false;
    ThumbnailSettings::current().diskCache = false;
    ThumbnailSettings::current().threads = 0;
    CListView_Photos* fresh = OpenList(PhotoPath("a_wide.jpg"));
    ASSERT_NE(fresh, nullptr);
    for (int i = 0; i < 5; ++i)
        fresh->OnZoomPlus();
    EXPECT_EQ(Cells(fresh), largest);
    for (int i = 0; i < 9; ++i)
        fresh->OnZoomMinus();
    EXPECT_EQ(Cells(fresh), smallest);
    EXPECT_EQ(ReducedPictureLoader::decodeCount() - before, (1 + 5 + 9) * 7) << "without memory every rebuild decodes";
}

// A list of more photos than the store holds keeps the first ones there, so that each zoom step
// decodes only the rest, not every photo again in the order the last step pushed them out.
TEST_F(ThumbnailReuseTest, AListLargerThanTheStoreKeepsItsFirstPicturesThere)
{
    for (int i = 0; i < 8; ++i)
        ASSERT_TRUE(Gradient(640, 480, i).save(PhotoPath(QStringLiteral("p%1.jpg").arg(i)), "JPEG", 85));
    ThumbnailSettings::current().diskCache = false;
    const std::size_t picture = 256 * 192 * 3 + sizeof(ReducedPicture); // room for three
    ReducedPictureStore::shared().setBudget(3 * picture + 1000);
    CListView_Photos* list = OpenList(PhotoPath("p0.jpg"));
    ASSERT_NE(list, nullptr);
    const int before = ReducedPictureLoader::decodeCount();
    list->OnZoomPlus();
    list->OnZoomPlus();
    EXPECT_EQ(ReducedPictureLoader::decodeCount() - before, 2 * 5);
    EXPECT_EQ(ReducedPictureStore::shared().bytes(), 3 * picture);
}

TEST_F(ThumbnailReuseTest, ThreadsGiveTheCellsOfAOneThreadRebuild)
{
    WriteMixedFolder();
    for (int i = 0; i < 24; ++i)
        ASSERT_TRUE(Gradient(320 + 8 * i, 240, i).save(PhotoPath(QStringLiteral("h_%1.jpg").arg(i)), "JPEG", 80));
    ThumbnailSettings::current().memory = false;
    ThumbnailSettings::current().diskCache = false;
    ThumbnailSettings::current().threads = 0;
    CListView_Photos* alone = OpenList(PhotoPath("a_wide.jpg"));
    ASSERT_NE(alone, nullptr);
    const std::vector<QImage> expected = Cells(alone);
    ASSERT_EQ(expected.size(), 31u);
    for (int threads : {1, 2, 4}) {
        ThumbnailSettings::current().threads = threads;
        CListView_Photos* list = OpenList(PhotoPath("a_wide.jpg"));
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(Cells(list), expected) << threads << " threads";
        EXPECT_EQ(list->GetListCtrl().GetItemText(30, 0), "h_23.jpg");
    }
}

TEST_F(ThumbnailReuseTest, ARefreshNoticesChangedReplacedAndCutShortPhotos)
{
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(Gradient(400, 300, i).save(PhotoPath(QStringLiteral("p%1.png").arg(i))));
    CListView_Photos* list = OpenList(PhotoPath("p0.png"));
    ASSERT_NE(list, nullptr);
    const std::vector<QImage> before = Cells(list);
    const int decodes = ReducedPictureLoader::decodeCount();

    // p1 rewritten in place with another picture of the same size.
    QImage inverted = Gradient(400, 300, 1);
    inverted.invertPixels();
    ASSERT_TRUE(inverted.save(PhotoPath("p1.png")));
    // p2 replaced by another file under its name.
    ASSERT_TRUE(Gradient(400, 300, 7).save(PhotoPath("new.png")));
    ASSERT_EQ(::rename(QFile::encodeName(PhotoPath("new.png")).constData(), QFile::encodeName(PhotoPath("p2.png")).constData()), 0);
    // p3 cut short.
    ASSERT_EQ(::truncate(QFile::encodeName(PhotoPath("p3.png")).constData(), 100), 0);

    list->OnRefreshPhotos();
    EXPECT_EQ(ReducedPictureLoader::decodeCount() - decodes, 3);
    const std::vector<QImage> after = Cells(list);
    EXPECT_EQ(after[0], before[0]);
    EXPECT_NE(after[1], before[1]);
    EXPECT_NE(after[2], before[2]);
    EXPECT_NE(after[3], before[3]);
    // Each shows what a list opened now shows.
    ThumbnailSettings::current().memory = false;
    ThumbnailSettings::current().diskCache = false;
    CListView_Photos* fresh = OpenList(PhotoPath("p0.png"));
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(Cells(fresh), after);
}
