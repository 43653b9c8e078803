#include "browser/cstrevioview.h"

#include "app/globals.h"
#include "framework/afxres.h"
#include "framework/cdc.h"
#include "framework/cdocument.h"
#include "imaging/gdiplus.h"
#include "platform/paths/localpath.h"

#include <QPainter>

#include <string>

IMPLEMENT_DYNCREATE(CStrevioView, CView)

BEGIN_MESSAGE_MAP(CStrevioView, CView)
    ON_COMMAND(ID_FILE_PRINT, &CStrevioView::OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_DIRECT, &CStrevioView::OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_PREVIEW, &CStrevioView::OnFilePrintPreview)
END_MESSAGE_MAP()

CStrevioView::CStrevioView() : m_PhotoPath(g_PathToOpen) {}

bool CStrevioView::PreCreateWindow(CREATESTRUCT& cs)
{
    return CView::PreCreateWindow(cs);
}

void CStrevioView::OnInitialUpdate()
{
    CView::OnInitialUpdate();
    GetDocument()->SetTitle(LocalPath::display(g_PathToOpen));
}

void CStrevioView::OnDraw(CDC* dc)
{
    DrawPhoto(dc, m_PhotoPath);
}

void CStrevioView::DrawPhoto(CDC* dc, QString path)
{
    const std::u16string widePath = path.toStdU16String();
    GpImage* image = nullptr;
    GdipLoadImageFromFile(reinterpret_cast<const WCHAR*>(widePath.c_str()), &image);
    GpGraphics* graphics = nullptr;
    GdipCreateFromHDC(dc->GetSafeHdc(), &graphics);
    RECT window;
    GetWindowRect(&window);
    const UINT W = UINT(window.right - window.left);
    UINT h = 0;
    UINT w = 0;
    GdipGetImageHeight(image, &h);
    GdipGetImageWidth(image, &w);
    GpStatus drawn = GenericError;
    if (w > 0 && h > 0) {
        const UINT H = (W * h) / w;
        drawn = GdipDrawImageRectI(graphics, image, 0, 0, INT(W), INT(H));
    }
    QPainter* painter = dc->GetPainter();
    if (drawn != Ok && painter) {
        // No size to scale by (never divided by a zero width), or no pixels: say so.
        const QString text = path.isEmpty() ? QStringLiteral("No photo to show.")
                                            : QStringLiteral("Strevio cannot show \"%1\".").arg(LocalPath::display(path));
        painter->drawText(QRect(8, 8, std::max<int>(int(W) - 16, 100), 200), Qt::TextWordWrap, text);
    }
    if (graphics)
        GdipDeleteGraphics(graphics);
    if (image)
        GdipDisposeImage(image);
}

bool CStrevioView::OnPreparePrinting(CPrintInfo* info)
{
    return DoPreparePrinting(info);
}

void CStrevioView::OnBeginPrinting(CDC* /*dc*/, CPrintInfo* /*info*/) {}

void CStrevioView::OnEndPrinting(CDC* /*dc*/, CPrintInfo* /*info*/) {}
