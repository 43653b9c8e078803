// SPDX-License-Identifier: GPL-2.0-or-later
// The photo list: what it shows, how it rebuilds and zooms, and its progress display.

#include "strevioapptest.h"

#include "app/cframetools.h"
#include "app/globals.h"
#include "res/resource.h"
#include "framework/cdocument.h"
#include "framework/listviewwidget.h"
#include "thumbnails/thumbnailsettings.h"

#include <QChildEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProgressBar>
#include <QStatusBar>
#include <QTimer>

#include <sys/stat.h>

namespace {
// Records the positions the status-bar progress bar shows, bar after bar.
class ProgressRecorder : public QObject {
public:
    explicit ProgressRecorder(QWidget* statusBar) { statusBar->installEventFilter(this); }
    QList<int> positions;
    int bars = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        // A child is complete (and a bar shown) once it is polished.
        if (event->type() == QEvent::ChildPolished) {
            if (auto* bar = qobject_cast<QProgressBar*>(static_cast<QChildEvent*>(event)->child())) {
                ++bars;
                positions << bar->value();
                connect(bar, &QProgressBar::valueChanged, this, [this](int v) { positions << v; });
            }
        }
        return false;
    }
};

} // namespace

using PhotoListTest = StrevioAppTest;

TEST_F(PhotoListTest, ShowsThePhotosOfTheFolderInStep)
{
    for (const char* name : {"b.png", "a.jpg", "img10.png", "img2.png"})
        ASSERT_TRUE(WriteFlatImage(PhotoPath(name), 64, 48, Qt::blue));
    QFile(PhotoPath("readme.txt")).open(QIODevice::WriteOnly);
    CListView_Photos* list = OpenList(PhotoPath("readme.txt"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetDocument()->GetTitle(), m_photos.path());
    ASSERT_EQ(list->m_Photos.GetSize(), 4);
    const QStringList expected{"a.jpg", "b.png", "img2.png", "img10.png"};
    ASSERT_EQ(list->GetListCtrl().GetItemCount(), 4);
    EXPECT_EQ(list->m_ImageList.GetImageCount(), 4);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(list->m_Photos[k], PhotoPath(expected[k]));
        EXPECT_EQ(list->GetListCtrl().GetItemText(k, 0), expected[k]);
    }
    EXPECT_EQ(list->m_CurrentItem, 0);
    EXPECT_EQ(list->GetListCtrl().GetSelectedCount(), 0u);
    EXPECT_EQ(list->m_FilmName, "Film.avi");
    EXPECT_EQ(list->m_FilmFps, 2);
}

TEST_F(PhotoListTest, ProgressAdvancesPerPhotoAndIsGoneAfterwards)
{
    for (const char* name : {"1.png", "2.png", "3.png"})
        ASSERT_TRUE(WriteFlatImage(PhotoPath(name), 32, 24, Qt::green));
    ProgressRecorder recorder(Frame()->m_wndStatusBar.GetSafeWidget());
    CListView_Photos* list = OpenList(PhotoPath("1.png"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(recorder.positions, (QList<int>{0, 33, 66}));
    EXPECT_FALSE(g_pFrameTools->m_Progress.HasWindow());
    EXPECT_EQ(Frame()->m_wndStatusBar.GetPaneText(0), QString());

    QFile::remove(PhotoPath("2.png"));
    QFile::remove(PhotoPath("3.png"));
    recorder.positions.clear();
    CListView_Photos* single = OpenList(PhotoPath("1.png"));
    ASSERT_NE(single, nullptr);
    EXPECT_EQ(recorder.positions, (QList<int>{0}));
}

TEST_F(PhotoListTest, AFolderWithoutPhotosStillShowsAndHidesTheBar)
{
    QFile(PhotoPath("notes.txt")).open(QIODevice::WriteOnly);
    ProgressRecorder recorder(Frame()->m_wndStatusBar.GetSafeWidget());
    CListView_Photos* list = OpenList(PhotoPath("notes.txt"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(recorder.bars, 1);
    EXPECT_EQ(list->GetListCtrl().GetItemCount(), 0);
    EXPECT_EQ(list->m_CurrentItem, 0);
    EXPECT_FALSE(g_pFrameTools->m_Progress.HasWindow());
}

TEST_F(PhotoListTest, ThumbnailsKeepTheirShapeInsideTheCell)
{
    ASSERT_TRUE(WriteFlatImage(PhotoPath("1-wide.png"), 4000, 3000, Qt::red));
    ASSERT_TRUE(WriteFlatImage(PhotoPath("2-tall.png"), 3000, 4000, Qt::red));
    ASSERT_TRUE(WriteFlatImage(PhotoPath("3-strip.png"), 1000, 250, Qt::red));
    CListView_Photos* list = OpenList(PhotoPath("1-wide.png"));
    ASSERT_NE(list, nullptr);
    const QColor red(Qt::red);
    auto isRed = [&red](const QImage& image, int x, int y) {
        const QColor c = image.pixelColor(x, y);
        return std::abs(c.red() - red.red()) < 8 && c.green() < 8 && c.blue() < 8;
    };
    // 4000 x 3000: a 100 x 75 thumbnail fills the 100 x 75 cell.
    QImage cell = ThumbnailCell(list, 0);
    ASSERT_EQ(cell.size(), QSize(100, 75));
    EXPECT_TRUE(isRed(cell, 0, 0));
    EXPECT_TRUE(isRed(cell, 99, 74));
    // 3000 x 4000: 100 x 133 shrunk to fit, whole and centred: about 56 columns in the middle.
    cell = ThumbnailCell(list, 1);
    EXPECT_TRUE(isRed(cell, 50, 0));
    EXPECT_TRUE(isRed(cell, 50, 74));
    EXPECT_FALSE(isRed(cell, 5, 37));
    EXPECT_FALSE(isRed(cell, 94, 37));
    // 1000 x 250: 100 x 25, centred vertically.
    cell = ThumbnailCell(list, 2);
    EXPECT_TRUE(isRed(cell, 0, 37));
    EXPECT_TRUE(isRed(cell, 99, 37));
    EXPECT_FALSE(isRed(cell, 50, 5));
    EXPECT_FALSE(isRed(cell, 50, 70));
}

TEST_F(PhotoListTest, UndecodablePhotosKeepTheirItemWithAnEmptyCell)
{
    ASSERT_TRUE(WriteFlatImage(PhotoPath("a.png"), 40, 30, Qt::red));
    QFile broken(PhotoPath("b.jpg"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("\xFF\xD8\xFF garbage that is no JPEG");
    broken.close();
    QFile(PhotoPath("c.gif")).open(QIODevice::WriteOnly); // empty
    CListView_Photos* list = OpenList(PhotoPath("a.png"));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->GetListCtrl().GetItemCount(), 3);
    EXPECT_EQ(list->GetListCtrl().GetItemText(1, 0), "b.jpg");
    EXPECT_EQ(list->GetListCtrl().GetItemText(2, 0), "c.gif");
    EXPECT_TRUE(m_messages.isEmpty());
}

TEST_F(PhotoListTest, ZoomStepsThroughTheTenSizesAndStopsAtTheEnds)
{
    ASSERT_TRUE(WriteFlatImage(PhotoPath("a.png"), 40, 30, Qt::red));
    CListView_Photos* list = OpenList(PhotoPath("a.png"));
    ASSERT_NE(list, nullptr);
    ProgressRecorder recorder(Frame()->m_wndStatusBar.GetSafeWidget());
    for (int i = 0; i < 5; ++i)
        list->OnZoomPlus();
    EXPECT_EQ(list->m_ThumbWidth, 200);
    EXPECT_EQ(list->m_ThumbHeight, 150);
    EXPECT_EQ(recorder.bars, 5);
    list->OnZoomPlus();
    EXPECT_EQ(list->m_ThumbWidth, 200);
    EXPECT_EQ(recorder.bars, 5); // no rebuild
    EXPECT_EQ(list->m_ImageList.GetCellSize(), QSize(200, 150));
    for (int i = 0; i < 9; ++i)
        list->OnZoomMinus();
    EXPECT_EQ(list->m_ThumbWidth, 20);
    EXPECT_EQ(list->m_ThumbHeight, 15);
    list->OnZoomMinus();
    EXPECT_EQ(list->m_ThumbWidth, 20);
    EXPECT_EQ(recorder.bars, 14);
}

TEST_F(PhotoListTest, RefreshRebuildsFromTheListNotTheFolder)
{
    ASSERT_TRUE(WriteFlatImage(PhotoPath("a.png"), 40, 30, Qt::red));
    CListView_Photos* list = OpenList(PhotoPath("a.png"));
    ASSERT_NE(list, nullptr);
    Select(list, {0});
    ASSERT_TRUE(WriteFlatImage(PhotoPath("b.png"), 40, 30, Qt::red));
    EXPECT_TRUE(Frame()->ExecuteCommand(ID_REFRESH_PHOTOS));
    EXPECT_EQ(list->GetListCtrl().GetItemCount(), 1);
    EXPECT_EQ(list->m_CurrentItem, 0);
    EXPECT_EQ(list->GetListCtrl().GetSelectedCount(), 0u);
    QFile::remove(PhotoPath("a.png"));
    list->RebuildThumbnails(); // a vanished photo keeps its item
    EXPECT_EQ(list->GetListCtrl().GetItemCount(), 1);
}

TEST_F(PhotoListTest, AFileInTheRootFolderTitlesTheWindowSlash)
{
    QString rootFile;
    for (const QFileInfo& info : QDir(QStringLiteral("/")).entryInfoList(QDir::Files | QDir::Hidden))
        if (info.isReadable() && CDocument::CheckReadable(info.absoluteFilePath()).isEmpty()) {
            rootFile = info.absoluteFilePath();
            break;
        }
    if (rootFile.isEmpty())
        GTEST_SKIP() << "no readable file directly in /";
    CListView_Photos* list = OpenList(rootFile);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetDocument()->GetTitle(), "/");
}

TEST_F(PhotoListTest, APhotoSwappedForAPipeAfterTheListingNeverStallsTheRebuild)
{
    ASSERT_TRUE(WriteFlatImage(PhotoPath("a.png"), 40, 30, Qt::red));
    ASSERT_TRUE(WriteFlatImage(PhotoPath("b.png"), 40, 30, Qt::red));
    CListView_Photos* list = OpenList(PhotoPath("a.png"));
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(QFile::remove(PhotoPath("b.png")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(PhotoPath("b.png")).constData(), 0600), 0);
    list->RebuildThumbnails();
    EXPECT_EQ(list->GetListCtrl().GetItemCount(), 2);
    EXPECT_EQ(list->GetListCtrl().GetItemText(1, 0), "b.png");
}

// A rebuild shows every item with its label at once and fills the cells as they come, those
// scrolled to before those far above them; it ends as a whole rebuild would.
TEST_F(PhotoListTest, ItemsComeFirstAndCellsFillAsTheyComeScrolledToFirst)
{
    constexpr int kCount = 96, kMiddle = kCount / 2;
    // Each photo's colour differs from every other's by at least 30 in some channel.
    auto colour = [](int k) { return QColor((k % 4) * 80, ((k / 4) % 4) * 80, (k / 16) * 30); };
    auto name = [](int k) { return QStringLiteral("p%1.png").arg(k, 3, 10, QLatin1Char('0')); };
    for (int k = 0; k < kCount; ++k)
        ASSERT_TRUE(WriteFlatImage(PhotoPath(name(k)), 640, 480, colour(k)));
    const std::shared_ptr<ThumbnailSettings> restore(new ThumbnailSettings(ThumbnailSettings::current()),
                                                     [](ThumbnailSettings* s) { ThumbnailSettings::current() = *s; delete s; });
    QList<int> progress{0};
    for (int k = 1; k < kCount; ++k)
        if (100 * k / kCount != progress.last())
            progress << 100 * k / kCount;
    for (const auto& [threads, scroll] : {std::pair{0, true}, {2, true}, {2, false}}) {
        SCOPED_TRACE(testing::Message() << threads << " workers, scrolled: " << scroll);
        ThumbnailSettings::current() = ThumbnailSettings{threads, false, false};
        CListView_Photos* list = OpenList(PhotoPath(name(0)));
        ASSERT_NE(list, nullptr);
        CListViewWidget* widget = list->GetListCtrl().GetWidget();
        auto filled = [list](int k) { return !list->m_ImageList.GetData()->images[size_t(k)].isNull(); };
        // At each pump: every item is there; after the first, the far cell never comes first.
        int pumps = 0;
        bool allThere = true, middleShown = false, outOfOrder = false;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            for (int k = 0; k < kCount && allThere; ++k)
                allThere = list->GetListCtrl().GetItemText(k, 0) == name(k);
            if (pumps++ == 0 && scroll)
                widget->scrollToBottom();
            middleShown |= widget->viewport()->rect().intersects(widget->visualRect(widget->model()->index(kMiddle, 0)));
            outOfOrder |= scroll ? filled(kMiddle) && !filled(kCount - 1) : filled(kCount - 1) && !filled(kMiddle);
        });
        watch.start(0);
        ProgressRecorder recorder(Frame()->m_wndStatusBar.GetSafeWidget());
        list->OnZoomPlus(); // new cells for every photo
        watch.stop();
        EXPECT_GT(pumps, 1);
        EXPECT_TRUE(allThere);
        EXPECT_FALSE(scroll && middleShown);
        EXPECT_FALSE(outOfOrder);
        ASSERT_EQ(list->GetListCtrl().GetItemCount(), kCount);
        ASSERT_EQ(list->m_ImageList.GetImageCount(), kCount);
        for (int k = 0; k < kCount; ++k) {
            EXPECT_EQ(list->GetListCtrl().GetItemText(k, 0), name(k));
            EXPECT_TRUE(NearColor(ThumbnailCell(list, k).pixelColor(60, 45), colour(k))) << k;
        }
        EXPECT_EQ(recorder.positions, progress);
        EXPECT_EQ(list->GetListCtrl().GetSelectedCount(), 0u);
        EXPECT_EQ(list->m_CurrentItem, 0);
        EXPECT_FALSE(g_pFrameTools->m_Progress.HasWindow());
    }
}
