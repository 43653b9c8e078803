// SPDX-License-Identifier: GPL-2.0-or-later
#include "browser/cstrevioview.h"

#include "app/globals.h"
#include "framework/afxres.h"
#include "framework/cdc.h"
#include "framework/cdocument.h"
#include "imaging/gdiplus.h"
#include "imaging/imagefile.h"
#include "imaging/imageresampler.h"
#include "imaging/imagesource.h"
#include "platform/paths/localpath.h"
#include "platform/files/filestamp.h"

#include <QPainter>

#include <algorithm>
#include <cstdint>
#include <string>

IMPLEMENT_DYNCREATE(CStrevioView, CView)

namespace {
struct PhotoPlace {
    INT x;
    INT y;
    INT width;
    INT height;
};

// Where a photo of w × h pixels goes. On screen: the window's outer width W with the height in
// proportion, in unsigned 32-bit arithmetic, at 0,0. A printer's units are not screen pixels, so
// there the photo fills the printable width, or the printable height when that is the tighter
// bound, keeping its proportions, at the printable area's top-left corner.
PhotoPlace PhotoPlaceOn(const CDC* dc, UINT W, UINT w, UINT h)
{
    if (!dc->IsPrinting()) {
        const UINT H = (W * h) / w;
        return {0, 0, INT(W), INT(H)};
    }
    const std::int64_t pageWidth = dc->GetDeviceCaps(HORZRES);
    const std::int64_t pageHeight = dc->GetDeviceCaps(VERTRES);
    const std::int64_t height = pageWidth * h / w;
    if (height <= pageHeight)
        return {0, 0, INT(pageWidth), INT(std::max<std::int64_t>(height, 1))};
    return {0, 0, INT(std::max<std::int64_t>(pageHeight * w / h, 1)), INT(pageHeight)};
}
} // namespace

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
    RECT window;
    GetWindowRect(&window);
    const UINT W = UINT(window.right - window.left);
    const bool drawn = dc->IsPrinting() ? PrintPhoto(dc, path, W) : ShowPhoto(dc, path, W);
    QPainter* painter = dc->GetPainter();
    if (!drawn && painter) {
        // No size to scale by (never divided by a zero width), or no pixels: say so.
        const QString text = path.isEmpty() ? QStringLiteral("No photo to show.")
                                            : QStringLiteral("Strevio cannot show \"%1\".").arg(LocalPath::display(path));
        painter->drawText(QRect(8, 8, std::max<int>(int(W) - 16, 100), 200), Qt::TextWordWrap, text);
    }
}

// On screen the photo goes from its own pixels to the screen's pixels of its place in one resize,
// so that a screen at 200 % shows the detail it can. A decoder's own reduction (a JPEG's 1/2, 1/4,
// 1/8) is used only where it leaves at least twice the pixels shown. The picture shown is kept
// for the next paint of the same place while the photo is unchanged.
bool CStrevioView::ShowPhoto(CDC* dc, const QString& path, UINT W)
{
    QPainter* painter = dc->GetPainter();
    if (!painter || !painter->device())
        return false;
    const qreal ratio = painter->device()->devicePixelRatio();
    const FileStamp stamp = FileStamp::of(path);
    if (!m_Shown.isNull() && m_ShownPath == path && m_ShownStamp == stamp && m_ShownWidth == W
        && m_Shown.devicePixelRatio() == ratio) {
        painter->drawImage(QPointF(0, 0), m_Shown);
        return true;
    }
    m_Shown = QImage();
    std::shared_ptr<ImageSource> source;
    if (ImageFile::open(path, &source) != Ok || !source)
        return false;
    const QSize photo = source->size();
    if (photo.isEmpty())
        return false;
    const PhotoPlace place = PhotoPlaceOn(dc, W, UINT(photo.width()), UINT(photo.height()));
    if (place.width <= 0 || place.height <= 0)
        return true;
    const QSize pixels(std::max(1, qRound(place.width * ratio)), std::max(1, qRound(place.height * ratio)));
    const QSize decoded = (pixels * 2).boundedTo(photo);
    QImage shown = ImageResampler::scaled(source->decodeReduced(decoded), pixels);
    if (shown.isNull())
        return false;
    shown.setDevicePixelRatio(ratio);
    painter->drawImage(QPointF(place.x, place.y), shown);
    if (stamp.valid() && place.x == 0 && place.y == 0) {
        m_Shown = shown;
        m_ShownPath = path;
        m_ShownStamp = stamp;
        m_ShownWidth = W;
    }
    return true;
}

bool CStrevioView::PrintPhoto(CDC* dc, const QString& path, UINT W)
{
    const std::u16string widePath = path.toStdU16String();
    GpImage* image = nullptr;
    GdipLoadImageFromFile(reinterpret_cast<const WCHAR*>(widePath.c_str()), &image);
    GpGraphics* graphics = nullptr;
    GdipCreateFromHDC(dc->GetSafeHdc(), &graphics);
    UINT h = 0;
    UINT w = 0;
    GdipGetImageHeight(image, &h);
    GdipGetImageWidth(image, &w);
    GpStatus drawn = GenericError;
    if (w > 0 && h > 0) {
        const PhotoPlace place = PhotoPlaceOn(dc, W, w, h);
        drawn = GdipDrawImageRectI(graphics, image, place.x, place.y, place.width, place.height);
    }
    if (graphics)
        GdipDeleteGraphics(graphics);
    if (image)
        GdipDisposeImage(image);
    return drawn == Ok;
}

bool CStrevioView::OnPreparePrinting(CPrintInfo* info)
{
    return DoPreparePrinting(info);
}

void CStrevioView::OnBeginPrinting(CDC* /*dc*/, CPrintInfo* /*info*/) {}

void CStrevioView::OnEndPrinting(CDC* /*dc*/, CPrintInfo* /*info*/) {}
