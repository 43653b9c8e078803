// SPDX-License-Identifier: GPL-2.0-or-later
// Thumbnails at the screen's pixels: at each device pixel ratio the cells hold the cell size times
// the ratio, made from the photo in one good step, and a change of ratio rebuilds them.

#include "strevioapptest.h"

#include "framework/cimagelist.h"
#include "framework/listviewwidget.h"
#include "imaging/imageresampler.h"

#include <QCoreApplication>
#include <QEvent>

#include <cmath>

namespace {

// Fine waves in several directions over a gradient, and hard-edged blocks: detail at every scale a
// thumbnail can show.
QImage DetailedPhoto(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double waves = 40 * std::sin(x / 5.0) + 30 * std::sin(y / 7.0) + 30 * std::sin((x + 2 * y) / 13.0);
            const int block = ((x / 40 + y / 40) % 2) * 60;
            const auto channel = [](double v) { return std::clamp(int(std::lround(v)), 0, 255); };
            image.setPixel(x, y, qRgb(channel(100 + waves + block), channel(60 + 120.0 * y / height + waves / 2),
                                      channel(200 - block - waves)));
        }
    return image;
}

} // namespace

using HiDpiCellsTest = StrevioAppTest;

TEST_F(HiDpiCellsTest, CellsHoldTheWindowsDevicePixelsAndFollowItsRatio)
{
    const QImage photos[] = {DetailedPhoto(1600, 1200), DetailedPhoto(600, 900)};
    ASSERT_TRUE(photos[0].save(PhotoPath("a_wide.png")));
    ASSERT_TRUE(photos[1].save(PhotoPath("b_tall.png")));
    CListView_Photos* list = OpenList(PhotoPath("a_wide.png"));
    ASSERT_NE(list, nullptr);
    for (int i = 0; i < 5; ++i)
        list->OnZoomPlus();
    ASSERT_EQ(list->m_ImageList.GetCellSize(), QSize(200, 150));
    QWidget* widget = list->GetListCtrl().GetWidget();

    const struct {
        qreal ratio;
        QSize deviceCell;
        double leastPsnr; // against the photo resized straight to the cell's device pixels
    } cases[] = {{1.0, {200, 150}, 34}, {1.5, {300, 225}, 42}, {2.0, {400, 300}, 40}, {1.0, {200, 150}, 34}};
    qreal ratio = 1.0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ratio);
        const void* before = list->m_ImageList.GetSafeHandle();
        list->m_ForcedDevicePixelRatio = c.ratio;
        QEvent change(QEvent::ScreenChangeInternal);
        QCoreApplication::sendEvent(widget, &change);
        EXPECT_EQ(list->m_ImageList.GetSafeHandle() != before, c.ratio != ratio) << "rebuilt only for a new ratio";
        ratio = c.ratio;
        for (int k = 0; k < 2; ++k) {
            const QImage cell = ThumbnailCell(list, k);
            ASSERT_EQ(cell.size(), c.deviceCell);
            EXPECT_EQ(cell.devicePixelRatio(), c.ratio);
            const QSize fitted = photos[k].size().scaled(c.deviceCell, Qt::KeepAspectRatio);
            const QImage shown = cell.copy(QRect(QPoint((c.deviceCell.width() - fitted.width()) / 2,
                                                        (c.deviceCell.height() - fitted.height()) / 2),
                                                 fitted));
            EXPECT_GE(PeakSignalToNoise(shown, ImageResampler::scaled(photos[k], fitted)), c.leastPsnr) << "photo " << k;
        }
    }
}
