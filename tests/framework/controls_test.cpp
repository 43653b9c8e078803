// SPDX-License-Identifier: GPL-2.0-or-later
// The framework's containers and controls: string arrays and their index errors, image lists,
// and the list control's selection and notifications.

#include "framework/afxmessagebox.h"
#include "framework/afxres.h"
#include "framework/cimagelist.h"
#include "framework/cinvalidargexception.h"
#include "framework/cmultidoctemplate.h"
#include "framework/cprogressctrl.h"
#include "framework/cstringarray.h"
#include "framework/listitemmodel.h"
#include "platform/gdi/gdi.h"
#include "tests/framework/frameworkfixture.h"
#include "tests/framework/testlistview.h"
#include "tests/framework/testmainframe.h"
#include "tests/framework/testresources.h"
#include "tests/framework/testview.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <memory>

TEST(StringArray, IndexOutsideTheArrayRaisesInvalidArgument)
{
    CStringArray names;
    EXPECT_THROW(names.GetAt(0), CInvalidArgException);
    names.Add("a");
    names.Add("b");
    EXPECT_EQ(names[1], "b");
    EXPECT_THROW(names.GetAt(2), CInvalidArgException);
    EXPECT_THROW(names.GetAt(-1), CInvalidArgException);
    EXPECT_THROW(names.SetAt(2, "c"), CInvalidArgException);
    EXPECT_THROW(names.RemoveAt(1, 2), CInvalidArgException);
    EXPECT_THROW(names.RemoveAt(-1), CInvalidArgException);
    names.RemoveAt(0);
    EXPECT_EQ(names.GetSize(), 1);
    EXPECT_EQ(names[0], "b");
}

using ImproperArgument = FrameworkFixture;

TEST_F(ImproperArgument, CommandOrKeyHandlerThatRaisesItShowsTheFrameworkMessage)
{
    CDocument* document = Template(IDR_TYPE_A)->OpenDocumentFile(MakeFile("a.jpg"), true);
    ASSERT_NE(document, nullptr);
    Frame()->ExecuteCommand(ID_CMD_BAD_INDEX);
    EXPECT_EQ(m_messages, QStringList{kImproperArgument});
    m_messages.clear();
    QTest::keyClick(ViewOf(document)->GetSafeWidget(), Qt::Key_E);
    EXPECT_EQ(m_messages, QStringList{kImproperArgument});
    EXPECT_TRUE(Frame()->ExecuteCommand(ID_CMD_VIEW)) << "the program goes on";
}

namespace {
constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kBlue = 0xFF0000FF;

// A 24-bit bitmap, red above and blue below its middle row.
HBITMAP RedOverBlue(int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP old = SelectObject(dc, bitmap);
    HBRUSH red = CreateSolidBrush(0x0000FF);
    HBRUSH blue = CreateSolidBrush(0xFF0000);
    const RECT top{0, 0, width, height / 2};
    const RECT bottom{0, height / 2, width, height};
    FillRect(dc, &top, red);
    FillRect(dc, &bottom, blue);
    SelectObject(dc, old);
    DeleteObject(red);
    DeleteObject(blue);
    DeleteDC(dc);
    return bitmap;
}

// Red, blue or a blend of the two: anything but the cell's background, white or black.
bool IsPicture(QRgb pixel)
{
    return qGreen(pixel) < 64 && qRed(pixel) + qBlue(pixel) > 192;
}

// The picture's extent along the cell's middle row and middle column.
QRect PictureExtent(const QImage& cell)
{
    int left = -1, right = -1, top = -1, bottom = -1;
    for (int x = 0; x < cell.width(); ++x)
        if (IsPicture(cell.pixel(x, cell.height() / 2))) {
            left = left < 0 ? x : left;
            right = x;
        }
    for (int y = 0; y < cell.height(); ++y)
        if (IsPicture(cell.pixel(cell.width() / 2, y))) {
            top = top < 0 ? y : top;
            bottom = y;
        }
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

QImage CellAfterReplace(int width, int height)
{
    CImageList images;
    EXPECT_TRUE(images.Create(40, 40, ILC_COLOR24, 1, 1));
    EXPECT_TRUE(images.SetImageCount(1));
    HBITMAP bitmap = RedOverBlue(width, height);
    EXPECT_TRUE(images.Replace(0, bitmap, nullptr));
    DeleteObject(bitmap);
    return images.GetData()->images.at(0);
}
} // namespace

TEST(ImageList, TallerBitmapIsScaledToTheCellHeightAndCentredAcross)
{
    const QImage cell = CellAfterReplace(20, 80);
    ASSERT_EQ(cell.size(), QSize(40, 40));
    const QRect extent = PictureExtent(cell);
    EXPECT_EQ(extent.top(), 0);
    EXPECT_EQ(extent.bottom(), 39);
    EXPECT_NEAR(extent.width(), 10, 1);
    EXPECT_NEAR(extent.left(), 39 - extent.right(), 1) << "centred";
    EXPECT_EQ(cell.pixel(20, 5), kRed) << "upright";
    EXPECT_EQ(cell.pixel(20, 34), kBlue);
    EXPECT_EQ(cell.pixel(2, 20), cell.pixel(37, 20));
    EXPECT_FALSE(IsPicture(cell.pixel(2, 20)));
}

TEST(ImageList, ShorterBitmapIsScaledToTheCellWidthAndCentredDown)
{
    const QImage cell = CellAfterReplace(80, 20);
    const QRect extent = PictureExtent(cell);
    EXPECT_EQ(extent.left(), 0);
    EXPECT_EQ(extent.right(), 39);
    EXPECT_NEAR(extent.height(), 10, 1);
    EXPECT_NEAR(extent.top(), 39 - extent.bottom(), 1) << "centred";
    EXPECT_EQ(cell.pixel(20, 16), kRed);
    EXPECT_EQ(cell.pixel(20, 23), kBlue);
    EXPECT_FALSE(IsPicture(cell.pixel(20, 2)));
    EXPECT_FALSE(IsPicture(cell.pixel(20, 37)));
}

TEST(ImageList, SmallBitmapGrowsToFillTheCell)
{
    const QImage cell = CellAfterReplace(10, 10);
    EXPECT_EQ(PictureExtent(cell), QRect(0, 0, 40, 40));
}

TEST(ImageList, ReplaceRefusesBadCellsAndMissingBitmaps)
{
    CImageList images;
    HBITMAP bitmap = RedOverBlue(8, 8);
    EXPECT_FALSE(images.Replace(0, bitmap, nullptr)) << "not created";
    ASSERT_TRUE(images.Create(16, 16, ILC_COLOR24, 0, 4));
    images.SetImageCount(2);
    EXPECT_FALSE(images.Replace(2, bitmap, nullptr));
    EXPECT_FALSE(images.Replace(-1, bitmap, nullptr));
    EXPECT_FALSE(images.Replace(0, nullptr, nullptr));
    EXPECT_TRUE(images.Replace(1, bitmap, nullptr));
    EXPECT_TRUE(images.GetData()->images[0].isNull());
    DeleteObject(bitmap);
}

// Cells hold the screen's pixels: a picture made at the cell's device size is copied as it is,
// marked with the ratio, and so is an empty cell.
TEST(ImageList, CellsAreMadeAtTheDevicePixelRatio)
{
    for (const auto& [ratio, deviceCell] : {std::pair{1.0, QSize(40, 30)}, {1.25, QSize(50, 38)}, {2.0, QSize(80, 60)}}) {
        SCOPED_TRACE(ratio);
        CImageList images;
        ASSERT_TRUE(images.Create(40, 30, ILC_COLOR24, 2, 1, ratio) && images.SetImageCount(2));
        EXPECT_EQ(images.GetDeviceCellSize(), deviceCell);
        QImage picture(deviceCell.width(), deviceCell.height() / 2, QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixel(x, y, qRgb(x * 7 % 256, y * 13 % 256, (x ^ y) % 256));
        ASSERT_TRUE(images.ReplacePicture(0, picture));
        const QImage cell = images.GetData()->images.at(0);
        EXPECT_EQ(cell.devicePixelRatio(), ratio);
        const int top = (deviceCell.height() - picture.height()) / 2;
        EXPECT_EQ(cell.copy(0, top, picture.width(), picture.height()).convertToFormat(QImage::Format_RGB32), picture);
        CListItemModel model(nullptr);
        model.SetImageList(images.GetData());
        model.InsertItem(0, "empty", 1);
        EXPECT_EQ(qvariant_cast<QPixmap>(model.data(model.index(0), Qt::DecorationRole)).size(), deviceCell);
        CImageList other;
        ASSERT_TRUE(other.Create(40, 30, ILC_COLOR24, 1, 1, ratio + 1) && other.SetImageCount(1));
        EXPECT_FALSE(images.CopyCell(0, *other.GetData(), 0)) << "cells of another ratio are not taken";
    }
}

TEST(ProgressControl, FillsItsRectangleAndAnswersWithThePreviousValues)
{
    QWidget pane;
    CWnd parent;
    parent.SubclassWidget(&pane);
    CProgressCtrl progress;
    ASSERT_TRUE(progress.Create(WS_CHILD | WS_VISIBLE, RECT{10, 2, 110, 20}, &parent, 1));
    EXPECT_EQ(progress.GetSafeWidget()->geometry(), QRect(10, 2, 100, 18));
    EXPECT_EQ(progress.GetSafeWidget()->parentWidget(), &pane);
    EXPECT_EQ(progress.SendMessage(PBM_SETRANGE, 0, 0 | (250 << 16)), 0 | (100 << 16));
    int lower = -1, upper = -1;
    progress.GetRange(lower, upper);
    EXPECT_EQ(lower, 0);
    EXPECT_EQ(upper, 250);
    EXPECT_EQ(progress.SetPos(40), 0);
    EXPECT_EQ(progress.SetPos(90), 40);
    EXPECT_EQ(progress.GetPos(), 90);
}

namespace {
class ListControl : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_view.Create(nullptr, nullptr));
        m_widget.reset(m_view.GetSafeWidget());
        for (int i = 0; i < 5; ++i)
            List().InsertItem(i, QStringLiteral("item %1").arg(i), i);
        m_view.m_changes.clear();
    }

    CListCtrl& List() { return m_view.GetListCtrl(); }

    std::vector<int> Selected()
    {
        std::vector<int> items;
        for (int i = List().GetNextItem(-1, LVNI_SELECTED); i != -1; i = List().GetNextItem(i, LVNI_SELECTED))
            items.push_back(i);
        return items;
    }

    CTestListView m_view;
    std::unique_ptr<QWidget> m_widget;
};
} // namespace

TEST_F(ListControl, IsAnIconListWithMultipleSelection)
{
    auto* list = qobject_cast<QListView*>(m_widget.get());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->viewMode(), QListView::IconMode);
    EXPECT_NE(list->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_NE(list->selectionMode(), QAbstractItemView::NoSelection);
    EXPECT_EQ(List().GetItemCount(), 5);
    EXPECT_EQ(List().GetItemText(3, 0), "item 3");
}

TEST_F(ListControl, SelectingEveryItemNotifiesEachInOrder)
{
    for (int i = 0; i < List().GetItemCount(); ++i)
        List().SetItemState(i, LVIS_SELECTED, LVIS_SELECTED);
    std::vector<int> notified;
    for (const ItemChange& change : m_view.m_changes) {
        EXPECT_TRUE(change.newState & LVIS_SELECTED);
        EXPECT_FALSE(change.oldState & LVIS_SELECTED);
        notified.push_back(change.item);
    }
    EXPECT_EQ(notified, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(Selected(), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(List().GetSelectedCount(), 5u);
}

TEST_F(ListControl, RangeSelectedByKeyIsNotifiedInOrderEndingWithItsLastItem)
{
    m_widget->resize(600, 400);
    List().SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    m_view.m_changes.clear();
    QTest::keyClick(m_widget.get(), Qt::Key_End, Qt::ShiftModifier);
    std::vector<int> selected;
    for (const ItemChange& change : m_view.m_changes)
        if (change.newState & LVIS_SELECTED)
            selected.push_back(change.item);
    EXPECT_EQ(selected, (std::vector<int>{2, 3, 4}));
    ASSERT_FALSE(m_view.m_changes.empty());
    EXPECT_EQ(m_view.m_changes.back().item, 4);
    EXPECT_EQ(Selected(), (std::vector<int>{1, 2, 3, 4}));
}

TEST_F(ListControl, LosingSelectionAndFocusAreNotifiedToo)
{
    List().SetItemState(3, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    m_view.m_changes.clear();
    List().SetItemState(3, 0, LVIS_SELECTED);
    ASSERT_EQ(m_view.m_changes.size(), 1u);
    EXPECT_EQ(m_view.m_changes[0].item, 3);
    EXPECT_TRUE(m_view.m_changes[0].oldState & LVIS_SELECTED);
    EXPECT_FALSE(m_view.m_changes[0].newState & LVIS_SELECTED);
    m_view.m_changes.clear();
    List().SetItemState(1, LVIS_FOCUSED, LVIS_FOCUSED);
    ASSERT_FALSE(m_view.m_changes.empty());
    EXPECT_EQ(m_view.m_changes.back().item, 1);
    EXPECT_EQ(List().GetNextItem(-1, LVNI_FOCUSED), 1);
    EXPECT_EQ(List().GetItemState(3, LVIS_FOCUSED | LVIS_SELECTED), 0u);
}

TEST_F(ListControl, NextSelectedItemWalksForwardFromTheStart)
{
    for (int i : {4, 1, 2})
        List().SetItemState(i, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(Selected(), (std::vector<int>{1, 2, 4}));
    EXPECT_EQ(List().GetNextItem(2, LVNI_SELECTED), 4);
    EXPECT_EQ(List().GetNextItem(4, LVNI_SELECTED), -1);
    EXPECT_EQ(List().GetNextItem(-1, LVNI_ALL), 0);
    EXPECT_EQ(List().GetNextItem(4, LVNI_ALL), -1);
}

TEST_F(ListControl, SelectionFollowsItsItemsWhenOthersAreDeleted)
{
    for (int i : {1, 3})
        List().SetItemState(i, LVIS_SELECTED, LVIS_SELECTED);
    const std::vector<int> selected = Selected();
    for (size_t i = 0; i < selected.size(); ++i)
        ASSERT_TRUE(List().DeleteItem(selected[i] - int(i)));
    ASSERT_EQ(List().GetItemCount(), 3);
    EXPECT_EQ(List().GetItemText(0, 0), "item 0");
    EXPECT_EQ(List().GetItemText(1, 0), "item 2");
    EXPECT_EQ(List().GetItemText(2, 0), "item 4");
    EXPECT_TRUE(Selected().empty());
    EXPECT_FALSE(List().DeleteItem(3));
    EXPECT_FALSE(List().SetItemState(3, LVIS_SELECTED, LVIS_SELECTED));
}

TEST(MessageBox, ShowsItsTextAsTyped)
{
    QString shown;
    Qt::TextFormat format = Qt::AutoText;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shown = box->text();
        format = box->textFormat();
        box->accept();
    });
    const QString text = QStringLiteral("Can not create a Film file \"/films/<i>it.avi\".");
    EXPECT_EQ(AfxMessageBox(text, MB_OK | MB_ICONINFORMATION), IDOK);
    EXPECT_EQ(shown, text);
    EXPECT_EQ(format, Qt::PlainText) << "a file name is never read as markup";
}

TEST(MessageBox, LongNamesWrapInsideTheBox)
{
    const QString film240 = QString(236, QLatin1Char('f')) + QStringLiteral(".avi");
    const QString path300 = QStringLiteral("/home/") + QString(290, QLatin1Char('p')) + QStringLiteral(".avi");
    struct Case {
        const char* name;
        QString text;
    };
    const Case cases[] = {
        {"short", QStringLiteral("The Movie file \"Film.avi\"was created in\n\n\"/home/a/Film.avi\".")},
        {"a 240-character film name", QStringLiteral("Can not create a Film file \"%1\".").arg(film240)},
        {"a 300-character path", QStringLiteral("The Movie file \"Film.avi\"was created in\n\n\"%1\".").arg(path300)},
        {"both", QStringLiteral("Can not create \"%1\" in\n\"%2\".").arg(film240, path300)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool checked = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            checked = true;
            EXPECT_EQ(box->text(), c.text);
            QLabel* shown = nullptr;
            for (QLabel* label : box->findChildren<QLabel*>())
                if (label->isVisible() && !label->text().isEmpty())
                    shown = label;
            ASSERT_NE(shown, nullptr);
            EXPECT_EQ(QString(shown->text()).remove(QChar(0x200B)), c.text) << "every character shown";
            // Inside the box and the screen, no run wider than the label, every line in its height.
            EXPECT_LE(box->width(), box->screen()->availableGeometry().width());
            EXPECT_LT(shown->geometry().right(), box->width());
            EXPECT_LE(shown->minimumSizeHint().width(), shown->width());
            EXPECT_LE(shown->heightForWidth(shown->width()), shown->height());
            box->accept();
        });
        AfxMessageBox(c.text, MB_OK | MB_ICONINFORMATION);
        EXPECT_TRUE(checked);
    }
}
