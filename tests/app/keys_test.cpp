// SPDX-License-Identifier: GPL-2.0-or-later
// The photo list's keys and mouse: opening, removing, selecting, and the road from a folder to a
// film driven by keys alone.

#include "strevioapptest.h"

#include "app/globals.h"
#include "browser/cstrevioview.h"
#include "framework/afxres.h"
#include "framework/cdocument.h"
#include "framework/cmultidoctemplate.h"
#include "framework/listviewwidget.h"
#include "res/resource.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

class KeysTest : public StrevioAppTest {
protected:
    CListView_Photos* OpenFivePhotos()
    {
        for (int i = 0; i < 5; ++i)
            if (!WriteFlatImage(PhotoPath(QStringLiteral("p%1.png").arg(i)), 24, 18, QColor(40 * i, 80, 120)))
                return nullptr;
        return OpenList(PhotoPath("p0.png"));
    }

    static QListView* Widget(CListView_Photos* list) { return list->GetListCtrl().GetWidget(); }

    static void Key(CListView_Photos* list, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(Widget(list), key, modifiers);
    }

    QStringList OpenedPhotos() const
    {
        QStringList paths;
        for (CDocument* document : m_app->m_pPhotoViewTemplate->GetDocuments())
            paths << dynamic_cast<CStrevioView*>(document->GetViews().front())->m_PhotoPath;
        return paths;
    }

    QPoint ItemCentre(CListView_Photos* list, int item)
    {
        QListView* view = Widget(list);
        return view->visualRect(view->model()->index(item, 0)).center();
    }
};

TEST_F(KeysTest, DeleteRemovesTheSelectedPhotosFromTheListOnly)
{
    CListView_Photos* list = OpenFivePhotos();
    ASSERT_NE(list, nullptr);
    Select(list, {1, 3});
    // Shift+Delete is the cut accelerator: it never reaches the list.
    Key(list, Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(list->m_Photos.GetSize(), 5);
    Key(list, Qt::Key_Delete);
    ASSERT_EQ(list->m_Photos.GetSize(), 3);
    EXPECT_EQ(list->m_Photos[0], PhotoPath("p0.png"));
    EXPECT_EQ(list->m_Photos[1], PhotoPath("p2.png"));
    EXPECT_EQ(list->m_Photos[2], PhotoPath("p4.png"));
    EXPECT_EQ(list->GetListCtrl().GetItemText(1, 0), "p2.png");
    EXPECT_TRUE(QFile::exists(PhotoPath("p1.png")));
    EXPECT_EQ(list->m_CurrentItem, 0);

    Key(list, Qt::Key_Delete); // nothing selected: only a rebuild
    EXPECT_EQ(list->m_Photos.GetSize(), 3);
    Key(list, Qt::Key_A, Qt::ControlModifier);
    Key(list, Qt::Key_Delete);
    EXPECT_EQ(list->m_Photos.GetSize(), 0);
    EXPECT_EQ(list->GetListCtrl().GetItemCount(), 0);

}

TEST_F(KeysTest, EnterAndDoubleClickOpenTheRightPhoto)
{
    CListView_Photos* list = OpenFivePhotos();
    ASSERT_NE(list, nullptr);
    Key(list, Qt::Key_Return);
    EXPECT_EQ(OpenedPhotos(), QStringList{PhotoPath("p0.png")});

    QTest::mouseClick(Widget(list)->viewport(), Qt::LeftButton, Qt::NoModifier, ItemCentre(list, 3));
    QTest::mouseClick(Widget(list)->viewport(), Qt::LeftButton, Qt::ControlModifier, ItemCentre(list, 3));
    EXPECT_EQ(list->GetListCtrl().GetSelectedCount(), 0u);
    Key(list, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(OpenedPhotos().last(), PhotoPath("p3.png"));

    const int before = int(OpenedPhotos().size());
    QTest::mouseDClick(Widget(list)->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(Widget(list)->viewport()->width() - 3,
                                                                                        Widget(list)->viewport()->height() - 3));
    EXPECT_EQ(int(OpenedPhotos().size()), before);
    QTest::mouseDClick(Widget(list)->viewport(), Qt::LeftButton, Qt::NoModifier, ItemCentre(list, 1));
    EXPECT_EQ(OpenedPhotos().last(), PhotoPath("p1.png"));
    // The same photo twice gives two windows.
    list->GetListCtrl().SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    Key(list, Qt::Key_Return);
    EXPECT_EQ(OpenedPhotos().count(PhotoPath("p1.png")), 2);
}

TEST_F(KeysTest, CtrlASelectsAllAndLeavesTheLastItemCurrent)
{
    CListView_Photos* list = OpenFivePhotos();
    ASSERT_NE(list, nullptr);
    Key(list, Qt::Key_A);
    EXPECT_EQ(list->GetListCtrl().GetSelectedCount(), 0u);
    Key(list, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(list->GetListCtrl().GetSelectedCount(), 5u);
    EXPECT_EQ(list->m_CurrentItem, 4);
    Key(list, Qt::Key_Return);
    EXPECT_EQ(OpenedPhotos(), QStringList{PhotoPath("p4.png")});
}

TEST_F(KeysTest, EnterInAnEmptyListReportsAnImproperArgument)
{
    QFile(PhotoPath("notes.txt")).open(QIODevice::WriteOnly);
    CListView_Photos* list = OpenList(PhotoPath("notes.txt"));
    ASSERT_NE(list, nullptr);
    Key(list, Qt::Key_Return);
    EXPECT_EQ(m_messages, QStringList{"Encountered an improper argument."});
    EXPECT_TRUE(OpenedPhotos().isEmpty());
}

TEST_F(KeysTest, ZoomKeysAreTheKeypadOnesAndRRebuildsOncePerKeyDown)
{
    CListView_Photos* list = OpenFivePhotos();
    ASSERT_NE(list, nullptr);
    Key(list, Qt::Key_Plus);
    EXPECT_EQ(list->m_ThumbWidth, 100);
    Key(list, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(list->m_ThumbWidth, 120);
    Key(list, Qt::Key_Minus, Qt::KeypadModifier);
    Key(list, Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(list->m_ThumbWidth, 80);
    for (int i = 0; i < 8; ++i)
        Key(list, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(list->m_ThumbWidth, 200);

    int rebuilds = 0;
    QObject counter;
    QObject::connect(Widget(list)->model(), &QAbstractItemModel::modelReset, &counter, [&rebuilds] { ++rebuilds; });
    for (int i = 0; i < 3; ++i) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_R, Qt::NoModifier, QStringLiteral("r"), i > 0, 1);
        QApplication::sendEvent(Widget(list), &press);
    }
    EXPECT_EQ(rebuilds, 3);
}

TEST_F(KeysTest, FilmAndPropertiesKeysAndTheirAccelerators)
{
    CListView_Photos* list = OpenFivePhotos();
    ASSERT_NE(list, nullptr);
    Select(list, {0, 1});
    Key(list, Qt::Key_F, Qt::ShiftModifier);
    ASSERT_EQ(m_messages.size(), 1);
    EXPECT_TRUE(m_messages[0].startsWith("The Movie file"));
    EXPECT_EQ(ProbeFilm(QDir(FilmFolder()).filePath("Film.avi")).packets, 2);

    // Ctrl+P is the print accelerator: no Properties dialog opens from a photo list.
    bool dialogOpened = false;
    QTimer::singleShot(0, [&dialogOpened] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            dialogOpened = true;
            dialog->close();
        }
    });
    Key(list, Qt::Key_P, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_FALSE(dialogOpened);
    // Keys held with Alt go to the menu, not to the list.
    Key(list, Qt::Key_F, Qt::AltModifier);
    EXPECT_EQ(m_messages.size(), 1);
}

TEST_F(KeysTest, ARemovedPhotoOpensAWindowThatSaysItCannotShowIt)
{
    CListView_Photos* list = OpenFivePhotos();
    ASSERT_NE(list, nullptr);
    QFile::remove(PhotoPath("p0.png"));
    Key(list, Qt::Key_Return);
    ASSERT_EQ(OpenedPhotos(), QStringList{PhotoPath("p0.png")});
    Frame()->GetActiveView()->GetSafeWidget()->repaint();
    EXPECT_TRUE(m_messages.isEmpty());
}

TEST_F(KeysTest, FromAFolderToAFilmWithKeysAlone)
{
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(WriteFlatImage(PhotoPath(QStringLiteral("s%1.jpg").arg(i)), 320, 240, QColor(60 * i, 100, 200)));
    QWidget* window = Frame()->GetSafeWidget();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    // Keys go where the window has its focus, as they would with the window active.
    auto focus = [window] { return window->focusWidget() ? window->focusWidget() : window; };

    // File > Open: type the path into the open dialog.
    const QString target = PhotoPath("s1.jpg");
    QTimer::singleShot(0, [target] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(edit, nullptr);
        edit->setCompleter(nullptr); // its popup would take the keys
        dialog->setDirectory(QFileInfo(target).path());
        QTest::keyClicks(edit, QFileInfo(target).fileName());
        QTest::keyClick(edit, Qt::Key_Return);
    });
    QTimer::singleShot(5000, [] {
        if (QWidget* stuck = QApplication::activeModalWidget())
            stuck->close();
    });
    QTest::keyClick(focus(), Qt::Key_O, Qt::ControlModifier);
    auto* list = dynamic_cast<CListView_Photos*>(Frame()->GetActiveView());
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->m_Photos.GetSize(), 3);

    QTest::keyClick(focus(), Qt::Key_A, Qt::ControlModifier);
    // P: Tab past OK and Cancel to the name, type it, Tab to the rate, type it, Enter.
    QTimer::singleShot(0, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        auto type = [dialog] { return dialog->focusWidget(); };
        QTest::keyClick(type(), Qt::Key_Tab);
        QTest::keyClick(type(), Qt::Key_Tab);
        QTest::keyClick(type(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(type(), QStringLiteral("Road.avi"));
        QTest::keyClick(type(), Qt::Key_Tab);
        QTest::keyClick(type(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(type(), QStringLiteral("5"));
        QTest::keyClick(type(), Qt::Key_Return);
    });
    QTest::keyClick(focus(), Qt::Key_P);
    EXPECT_EQ(list->m_FilmName, "Road.avi");
    EXPECT_EQ(list->m_FilmFps, 5);

    QTest::keyClick(focus(), Qt::Key_F);
    const QString film = QDir(FilmFolder()).filePath("Road.avi");
    ASSERT_EQ(m_messages.size(), 1);
    EXPECT_EQ(m_messages[0], QStringLiteral("The Movie file \"Road.avi\"was created in\n\n\"%1\".").arg(film));
    const FilmProbe probe = ProbeFilm(film);
    EXPECT_EQ(probe.packets, 3);
    EXPECT_EQ(probe.frameRate, "5/1");
    EXPECT_EQ(probe.codecTag, "MSVC");
    EXPECT_EQ(probe.width, 2000);
    EXPECT_EQ(probe.height, 2000);
}

TEST_F(KeysTest, KeysPressedDuringARebuildActOnceItIsDone)
{
    CListView_Photos* list = OpenFivePhotos();
    ASSERT_NE(list, nullptr);
    int rebuilds = 0;
    int nested = 0;
    bool inRebuild = false;
    QObject watcher;
    QObject::connect(Widget(list)->model(), &QAbstractItemModel::modelReset, &watcher, [&] {
        ++rebuilds;
        nested += inRebuild ? 1 : 0;
    });
    // While the first rebuild runs, R and keypad + arrive (as if typed meanwhile).
    bool sent = false;
    QObject::connect(Widget(list)->model(), &QAbstractItemModel::rowsInserted, &watcher, [&] {
        if (sent)
            return;
        sent = true;
        inRebuild = true;
        QKeyEvent r(QEvent::KeyPress, Qt::Key_R, Qt::NoModifier, QStringLiteral("r"));
        QApplication::sendEvent(Widget(list), &r);
        QKeyEvent plus(QEvent::KeyPress, Qt::Key_Plus, Qt::KeypadModifier, QStringLiteral("+"));
        QApplication::sendEvent(Widget(list), &plus);
    });
    list->RebuildThumbnails();
    inRebuild = false;
    EXPECT_EQ(rebuilds, 1);
    EXPECT_EQ(nested, 0);
    EXPECT_EQ(list->m_ThumbWidth, 100);
    // The rebuild R starts lets the event loop run and holds the zoom back until it is done.
    for (int round = 0; round < 3; ++round)
        QApplication::processEvents();
    EXPECT_EQ(rebuilds, 3); // R, then the zoom
    EXPECT_EQ(list->m_ThumbWidth, 120);
}

TEST_F(KeysTest, ASelectionMadeItemByItemBehavesAsOneUnderTheMouse)
{
    CListView_Photos* list = OpenFivePhotos();
    ASSERT_NE(list, nullptr);
    Key(list, Qt::Key_A, Qt::ControlModifier);
    QTest::mouseClick(Widget(list)->viewport(), Qt::LeftButton, Qt::ControlModifier, ItemCentre(list, 2));
    std::vector<int> selected;
    for (int i = list->GetListCtrl().GetNextItem(-1, LVNI_SELECTED); i != -1;
         i = list->GetListCtrl().GetNextItem(i, LVNI_SELECTED))
        selected.push_back(i);
    EXPECT_EQ(selected, (std::vector<int>{0, 1, 3, 4}));
    EXPECT_EQ(list->m_CurrentItem, 2);
    // A run restarts after the rows change.
    Key(list, Qt::Key_Delete);
    ASSERT_EQ(list->m_Photos.GetSize(), 1);
    Select(list, {0});
    EXPECT_EQ(list->GetListCtrl().GetSelectedCount(), 1u);
}

TEST_F(KeysTest, KeysThatMoveTheCurrentItemOfAFreshListSelectIt)
{
    struct Case {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool selects; // the current item ends up the one selected item, so F makes a film of it
    };
    const Case cases[] = {
        {"Home", Qt::Key_Home, Qt::NoModifier, true},
        {"End", Qt::Key_End, Qt::NoModifier, true},
        {"PgUp", Qt::Key_PageUp, Qt::NoModifier, true},
        {"PgDn", Qt::Key_PageDown, Qt::NoModifier, true},
        {"Right", Qt::Key_Right, Qt::NoModifier, true},
        {"Shift+Home", Qt::Key_Home, Qt::ShiftModifier, true},
        {"Ctrl+Home", Qt::Key_Home, Qt::ControlModifier, false}, // moves the focus frame alone
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_messages.clear();
        CListView_Photos* list = OpenFivePhotos();
        ASSERT_NE(list, nullptr);
        // A fresh list that gets the focus shows the focus frame on its first item, unselected.
        QWidget* window = Frame()->GetSafeWidget();
        window->activateWindow();
        QApplication::setActiveWindow(window);
        Widget(list)->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        ASSERT_EQ(list->GetListCtrl().GetSelectedCount(), 0u);

        Key(list, c.key, c.modifiers);
        Key(list, Qt::Key_F);
        const CListCtrl& items = list->GetListCtrl();
        if (c.selects) {
            EXPECT_EQ(items.GetSelectedCount(), 1u);
            EXPECT_EQ(items.GetNextItem(-1, LVNI_SELECTED), items.GetNextItem(-1, LVNI_FOCUSED));
            EXPECT_TRUE(m_messages.value(0).startsWith("The Movie file")) << m_messages.value(0).toStdString();
        } else {
            EXPECT_EQ(m_messages, QStringList{"Please select one or more Photos first."});
        }
        list->GetParentFrame()->DestroyWindow();
    }
}
