// SPDX-License-Identifier: GPL-2.0-or-later
// Toolbar buttons and window icons on screens at 100 % and 200 %: the 16-pixel strip at 100 %,
// pictures drawn for twice the size (not the small ones doubled) at 200 %.

#include "strevioapptest.h"

#include "framework/afxres.h"
#include "framework/resources.h"
#include "res/resource.h"

#include <QAction>
#include <QIcon>

using IconsTest = StrevioAppTest;

// At 200 % each toolbar button and window icon is a picture drawn for the size (not the small one
// doubled, and not another button's); at 100 % it is the small one.
TEST_F(IconsTest, ScreensAt200PercentGetPicturesDrawnForTheirSize)
{
    QList<QImage> drawn;
    for (const UINT id : {ID_FILE_OPEN, ID_SHOW_PROPERTIES, ID_REFRESH_PHOTOS, ID_ZOOM_PLUS, ID_ZOOM_MINUS,
                          ID_SELECT_ALL_PHOTOS, ID_MAKE_FILM, UINT(IDR_MAINFRAME), UINT(IDR_PHOTOVIEW),
                          UINT(IDR_PHOTOLIST), UINT(IDR_FILMLIST)}) {
        SCOPED_TRACE(id);
        const bool button = id < IDR_MAINFRAME || id > IDR_FILMLIST;
        const QIcon icon = button ? Frame()->GetCommandAction(id)->icon() : AfxLoadIcon(id);
        const QSize size = button ? QSize(16, 15) : QSize(32, 32);
        const QImage one = icon.pixmap(size, 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
        const QImage two = icon.pixmap(size, 2.0).toImage().convertToFormat(QImage::Format_ARGB32);
        EXPECT_EQ(one.size(), size);
        EXPECT_EQ(two.size(), size * 2);
        EXPECT_NE(one.scaled(size * 2), two);
        EXPECT_FALSE(drawn.contains(two));
        drawn.append(two);
    }
}
