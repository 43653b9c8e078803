// SPDX-License-Identifier: GPL-2.0-or-later
// The single-photo view: scaled drawing, photos it cannot show, printing.

#include "strevioapptest.h"

#include "app/globals.h"
#include "browser/cstrevioview.h"
#include "framework/afxres.h"
#include "framework/cdc.h"
#include "framework/cdocument.h"
#include "framework/cmultidoctemplate.h"
#include "imaging/imageresampler.h"

#include <QApplication>
#include <QFile>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTimer>

#include <cmath>
#include <cstdlib>

class PhotoViewTest : public StrevioAppTest {
protected:
    // Prints the open photo window to a PDF on `paper` through File > Print and renders the page
    // with poppler at 72 dpi, one pixel a point. `printable` receives the page's printable area.
    QImage PrintOnPaper(QPageSize::PageSizeId paper, QRectF* printable)
    {
        const QString pdf = FilmFolder() + QStringLiteral("/print.pdf");
        AfxSetPrintDialogHandler([&](QPrinter* printer) {
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(pdf);
            printer->setPageSize(QPageSize(paper));
            *printable = printer->pageLayout().paintRectPoints();
            return true;
        });
        const bool printed = Frame()->ExecuteCommand(ID_FILE_PRINT);
        AfxSetPrintDialogHandler({});
        if (!printed)
            return QImage();
        const QString png = FilmFolder() + QStringLiteral("/print");
        RunTool(QStringLiteral("pdftoppm"), {"-r", "72", "-png", "-singlefile", pdf, png});
        return QImage(png + QStringLiteral(".png"));
    }
};

namespace {
// The bounding box of the pixels of `within` (the whole image by default) that are clearly not
// white paper.
QRect InkedArea(const QImage& page, QRect within = QRect())
{
    if (within.isNull())
        within = page.rect();
    QRect box;
    for (int y = within.top(); y <= within.bottom(); ++y)
        for (int x = within.left(); x <= within.right(); ++x)
            if (qGray(page.pixel(x, y)) < 200)
                box |= QRect(x, y, 1, 1);
    return box;
}

// The bounding box of the pixels that are paper white.
QRect PaperArea(const QImage& page)
{
    QRect box;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (page.pixel(x, y) == qRgb(255, 255, 255))
                box |= QRect(x, y, 1, 1);
    return box;
}

// Whether every pixel of `area` (less a pixel of antialiased border) is `color`, within a few levels.
bool AllOfColor(const QImage& page, const QRect& area, QColor color)
{
    const QRect inner = area.adjusted(1, 1, -1, -1);
    for (int y = inner.top(); y <= inner.bottom(); ++y)
        for (int x = inner.left(); x <= inner.right(); ++x) {
            const QColor seen = page.pixelColor(x, y);
            if (std::abs(seen.red() - color.red()) > 8 || std::abs(seen.green() - color.green()) > 8
                || std::abs(seen.blue() - color.blue()) > 8)
                return false;
        }
    return !inner.isEmpty();
}
} // namespace

TEST_F(PhotoViewTest, DrawsThePhotoAtTheWindowWidthWithTruncatedHeight)
{
    ASSERT_TRUE(WriteFlatImage(PhotoPath("tiny.png"), 3, 2, Qt::red));
    CStrevioView* view = OpenPhotoView(PhotoPath("tiny.png"));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->m_PhotoPath, PhotoPath("tiny.png"));
    EXPECT_EQ(view->GetDocument()->GetTitle(), PhotoPath("tiny.png"));
    RECT window;
    const QImage canvas = PaintView(view, 1000);
    view->GetWindowRect(&window);
    ASSERT_EQ(window.right - window.left, 1000);
    EXPECT_EQ(canvas.pixelColor(999, 665), QColor(Qt::red));
    EXPECT_EQ(canvas.pixelColor(999, 666), QColor(Qt::white));
    EXPECT_EQ(canvas.pixelColor(1000, 0), QColor(Qt::white));
}

TEST_F(PhotoViewTest, APhotoItCannotShowGivesAMessageInstead)
{
    CStrevioView* view = OpenPhotoView(PhotoPath("gone.jpg"));
    ASSERT_NE(view, nullptr);
    const QImage canvas = PaintView(view, 600);
    EXPECT_GT(InkedPixels(canvas, 40), 20);
    EXPECT_TRUE(m_messages.isEmpty());
}

TEST_F(PhotoViewTest, PrintingToPdfMakesOnePage)
{
    ASSERT_TRUE(WriteFlatImage(PhotoPath("p.png"), 300, 200, Qt::blue));
    CStrevioView* view = OpenPhotoView(PhotoPath("p.png"));
    ASSERT_NE(view, nullptr);
    const QString pdf = FilmFolder() + QStringLiteral("/print.pdf");
    AfxSetPrintDialogHandler([&pdf](QPrinter* printer) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdf);
        return true;
    });
    EXPECT_TRUE(Frame()->ExecuteCommand(ID_FILE_PRINT));
    AfxSetPrintDialogHandler({});
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "), 1);
    EXPECT_GT(bytes.size(), 1000);
}

TEST_F(PhotoViewTest, APrintedPhotoFillsThePrintableWidthOfA4AndLetter)
{
    ASSERT_TRUE(WriteFlatImage(PhotoPath("wide.png"), 300, 200, QColor(20, 40, 220)));
    ASSERT_NE(OpenPhotoView(PhotoPath("wide.png")), nullptr);
    for (const QPageSize::PageSizeId paper : {QPageSize::A4, QPageSize::Letter}) {
        SCOPED_TRACE(QPageSize::name(paper).toStdString());
        QRectF printable;
        const QImage page = PrintOnPaper(paper, &printable);
        ASSERT_FALSE(page.isNull());
        EXPECT_NEAR(page.width(), QPageSize(paper).sizePoints().width(), 1);
        const QRect inked = InkedArea(page);
        EXPECT_NEAR(inked.left(), printable.left(), 1.5);
        EXPECT_NEAR(inked.top(), printable.top(), 1.5);
        EXPECT_NEAR(inked.width(), printable.width(), 2);
        EXPECT_NEAR(inked.height(), printable.width() * 2 / 3, 2);
        EXPECT_TRUE(AllOfColor(page, inked, QColor(20, 40, 220)));
    }
}

TEST_F(PhotoViewTest, APrintedPhotoTallerThanThePageFitsThePrintableHeight)
{
    ASSERT_TRUE(WriteFlatImage(PhotoPath("tall.png"), 100, 400, QColor(200, 30, 30)));
    ASSERT_NE(OpenPhotoView(PhotoPath("tall.png")), nullptr);
    QRectF printable;
    const QImage page = PrintOnPaper(QPageSize::A4, &printable);
    ASSERT_FALSE(page.isNull());
    const QRect inked = InkedArea(page);
    EXPECT_NEAR(inked.top(), printable.top(), 1.5);
    EXPECT_NEAR(inked.height(), printable.height(), 2);
    EXPECT_NEAR(inked.width(), printable.height() / 4, 2);
    EXPECT_TRUE(AllOfColor(page, inked, QColor(200, 30, 30)));
}

TEST_F(PhotoViewTest, ThePrintPreviewShowsThePhotoAtThePrintableWidth)
{
    ASSERT_TRUE(WriteFlatImage(PhotoPath("wide.png"), 300, 200, QColor(20, 40, 220)));
    ASSERT_NE(OpenPhotoView(PhotoPath("wide.png")), nullptr);
    QImage shown;
    QRectF printable;
    QRectF paper;
    QTimer::singleShot(0, [&] {
        auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(preview, nullptr);
        printable = preview->printer()->pageRect(QPrinter::Point);
        paper = preview->printer()->paperRect(QPrinter::Point);
        // The page as the preview draws it (paper, shadow and all), at about 75 dpi.
        auto* view = preview->findChild<QGraphicsView*>();
        const QList<QGraphicsItem*> pages = view ? view->scene()->items() : QList<QGraphicsItem*>();
        if (pages.size() == 1) {
            const QRectF drawn = pages.front()->sceneBoundingRect();
            shown = QImage((drawn.size() / 16).toSize(), QImage::Format_RGB32);
            shown.fill(Qt::gray);
            QPainter painter(&shown);
            view->scene()->render(&painter, QRectF(), drawn);
        }
        preview->reject();
    });
    EXPECT_TRUE(Frame()->ExecuteCommand(ID_FILE_PRINT_PREVIEW));
    ASSERT_FALSE(shown.isNull());
    const QRect sheet = PaperArea(shown);
    const QRect photo = InkedArea(shown, sheet);
    const double scale = sheet.width() / paper.width();
    EXPECT_NEAR(photo.width() / scale, printable.width(), 3);
    EXPECT_NEAR(photo.height() / scale, printable.width() * 2 / 3, 3);
    EXPECT_NEAR((photo.left() - sheet.left()) / scale, printable.left(), 3);
    EXPECT_NEAR((photo.top() - sheet.top()) / scale, printable.top(), 3);
    EXPECT_TRUE(AllOfColor(shown, photo, QColor(20, 40, 220)));
}

TEST_F(PhotoViewTest, PrintIsOnlyForSinglePhotoWindows)
{
    ASSERT_TRUE(WriteFlatImage(PhotoPath("p.png"), 30, 20, Qt::blue));
    ASSERT_NE(OpenList(PhotoPath("p.png")), nullptr);
    EXPECT_FALSE(Frame()->ExecuteCommand(ID_FILE_PRINT));
}

// On a screen at 100 %, 150 % and 200 % the photo is drawn from its own pixels to the screen's
// pixels of its place: as sharp as the photo resized straight to that many pixels.
TEST_F(PhotoViewTest, DrawsAtTheScreensPixels)
{
    QImage photo(1600, 1200, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x)
            photo.setPixel(x, y, qRgb(128 + int(90 * std::sin(x / 3.0)), 128 + int(90 * std::sin(y / 4.0)), (x / 50 + y / 50) % 2 * 200));
    ASSERT_TRUE(photo.save(PhotoPath("detail.png")));
    CStrevioView* view = OpenPhotoView(PhotoPath("detail.png"));
    ASSERT_NE(view, nullptr);
    view->GetSafeWidget()->setFixedWidth(400);
    for (const qreal ratio : {1.0, 1.5, 2.0}) {
        SCOPED_TRACE(ratio);
        QImage canvas(qRound(600 * ratio), qRound(450 * ratio), QImage::Format_RGB32);
        canvas.setDevicePixelRatio(ratio);
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        CDC dc(&painter);
        view->OnDraw(&dc);
        painter.end();
        const QSize pixels(qRound(400 * ratio), qRound(300 * ratio));
        EXPECT_GT(PeakSignalToNoise(canvas.copy(QRect(QPoint(), pixels)), ImageResampler::scaled(photo, pixels)), 48.0);
        EXPECT_EQ(canvas.pixelColor(pixels.width(), 0), QColor(Qt::white));
        EXPECT_EQ(canvas.pixelColor(0, pixels.height()), QColor(Qt::white));
    }
    // The picture kept for the next paint is not shown for a photo changed since.
    ASSERT_TRUE(WriteFlatImage(PhotoPath("detail.png"), 160, 120, Qt::blue));
    EXPECT_EQ(PaintView(view, 400).pixelColor(200, 150), QColor(Qt::blue));
}
