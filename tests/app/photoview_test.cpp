// The single-photo view: scaled drawing, photos it cannot show, printing.

#include "strevioapptest.h"

#include "app/globals.h"
#include "browser/cstrevioview.h"
#include "framework/afxres.h"
#include "framework/cdc.h"
#include "framework/cdocument.h"
#include "framework/cmultidoctemplate.h"

#include <QFile>
#include <QPainter>
#include <QPrinter>

class PhotoViewTest : public StrevioAppTest {
protected:
    CStrevioView* OpenPhoto(const QString& path)
    {
        g_PathToOpen = path;
        CDocument* document = m_app->m_pPhotoViewTemplate->OpenDocumentFile(QString(), true);
        return document ? dynamic_cast<CStrevioView*>(document->GetViews().front()) : nullptr;
    }

    // Paints the view as the window would, with the view window `width` pixels wide.
    QImage Paint(CStrevioView* view, int width)
    {
        view->GetSafeWidget()->setFixedWidth(width);
        QImage canvas(1200, 900, QImage::Format_RGB32);
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        CDC dc(&painter);
        view->OnDraw(&dc);
        painter.end();
        return canvas;
    }
};

TEST_F(PhotoViewTest, DrawsThePhotoAtTheWindowWidthWithTruncatedHeight)
{
    ASSERT_TRUE(WriteFlatImage(PhotoPath("tiny.png"), 3, 2, Qt::red));
    CStrevioView* view = OpenPhoto(PhotoPath("tiny.png"));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->m_PhotoPath, PhotoPath("tiny.png"));
    EXPECT_EQ(view->GetDocument()->GetTitle(), PhotoPath("tiny.png"));
    RECT window;
    const QImage canvas = Paint(view, 1000);
    view->GetWindowRect(&window);
    ASSERT_EQ(window.right - window.left, 1000);
    EXPECT_EQ(canvas.pixelColor(999, 665), QColor(Qt::red));
    EXPECT_EQ(canvas.pixelColor(999, 666), QColor(Qt::white));
    EXPECT_EQ(canvas.pixelColor(1000, 0), QColor(Qt::white));
}

TEST_F(PhotoViewTest, APhotoItCannotShowGivesAMessageInstead)
{
    CStrevioView* view = OpenPhoto(PhotoPath("gone.jpg"));
    ASSERT_NE(view, nullptr);
    const QImage canvas = Paint(view, 600);
    int inked = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 600; ++x)
            inked += canvas.pixelColor(x, y) != QColor(Qt::white);
    EXPECT_GT(inked, 20);
    EXPECT_TRUE(m_messages.isEmpty());
}

TEST_F(PhotoViewTest, PrintingToPdfMakesOnePage)
{
    ASSERT_TRUE(WriteFlatImage(PhotoPath("p.png"), 300, 200, Qt::blue));
    CStrevioView* view = OpenPhoto(PhotoPath("p.png"));
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

TEST_F(PhotoViewTest, PrintIsOnlyForSinglePhotoWindows)
{
    ASSERT_TRUE(WriteFlatImage(PhotoPath("p.png"), 30, 20, Qt::blue));
    ASSERT_NE(OpenList(PhotoPath("p.png")), nullptr);
    EXPECT_FALSE(Frame()->ExecuteCommand(ID_FILE_PRINT));
}
