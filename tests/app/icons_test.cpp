// SPDX-License-Identifier: GPL-2.0-or-later
// Toolbar buttons and window icons on screens at 100 % and 200 %: the 16-pixel strip at 100 %,
// pictures drawn for twice the size (not the small ones doubled) at 200 %.

#include "strevioapptest.h"

#include "framework/afxres.h"
#include "framework/resources.h"
#include "res/resource.h"

#include <QAction>
#include <QIcon>

namespace {

// Whether `big` is only `small` doubled, pixel for pixel.
bool IsDoubled(const QImage& small, const QImage& big)
{
    return small.convertToFormat(QImage::Format_ARGB32).scaled(big.size())
        == big.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

using IconsTest = StrevioAppTest;

TEST_F(IconsTest, ScreensAt200PercentGetPicturesDrawnForTheirSize)
{
    const UINT commands[] = {ID_FILE_OPEN, ID_SHOW_PROPERTIES, ID_REFRESH_PHOTOS, ID_ZOOM_PLUS, ID_ZOOM_MINUS,
                             ID_SELECT_ALL_PHOTOS, ID_MAKE_FILM};
    QList<QImage> drawn;
    for (const UINT id : commands) {
        SCOPED_TRACE(id);
        const QIcon icon = Frame()->GetCommandAction(id)->icon();
        const QImage one = icon.pixmap(QSize(16, 15), 1.0).toImage();
        const QImage two = icon.pixmap(QSize(16, 15), 2.0).toImage();
        EXPECT_EQ(one.size(), QSize(16, 15));
        EXPECT_EQ(two.size(), QSize(32, 30));
        EXPECT_EQ(two.devicePixelRatio(), 2.0);
        EXPECT_FALSE(IsDoubled(one, two));
        EXPECT_FALSE(drawn.contains(two)) << "each button its own picture";
        drawn.append(two);
    }
    for (const UINT id : {IDR_MAINFRAME, IDR_PHOTOVIEW, IDR_PHOTOLIST, IDR_FILMLIST}) {
        SCOPED_TRACE(id);
        const QIcon icon = AfxLoadIcon(id);
        const QImage one = icon.pixmap(QSize(32, 32), 1.0).toImage();
        const QImage two = icon.pixmap(QSize(32, 32), 2.0).toImage();
        EXPECT_EQ(one.size(), QSize(32, 32));
        EXPECT_EQ(two.size(), QSize(64, 64));
        EXPECT_FALSE(IsDoubled(one, two));
    }
}
