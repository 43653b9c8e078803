// SPDX-License-Identifier: GPL-2.0-or-later
#include "browser/clistview_photos.h"

#include "app/cframetools.h"
#include "app/cmainframe.h"
#include "app/cstrevioapp.h"
#include "app/cstreviodoc.h"
#include "app/globals.h"
#include "app/terminationsignals.h"
#include "browser/thumbnailrun.h"
#include "film/cdia_properties.h"
#include "film/filmsettings.h"
#include "framework/afxres.h"
#include "framework/afxwork.h"
#include "framework/cmultidoctemplate.h"
#include "framework/cwaitcursor.h"
#include "framework/listviewwidget.h"
#include "framework/virtualkeys.h"
#include "platform/paths/localpath.h"
#include "res/resource.h"

#include <QCoreApplication>
#include <QTimer>

#include <string>
#include <utility>
#include <vector>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

// Thumbnails are small heap blocks, and the photos decoded between them keep the heap from
// shrinking: glibc would keep the pages of a freed set of thumbnails, so a large folder zoomed
// out, or its window closed, would go on holding the memory of its largest zoom. Give the free
// pages back.
void ReturnFreedMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

} // namespace

IMPLEMENT_DYNCREATE(CListView_Photos, CListView)

BEGIN_MESSAGE_MAP(CListView_Photos, CListView)
    ON_COMMAND(ID_REFRESH_PHOTOS, &CListView_Photos::OnRefreshPhotos)
    ON_NOTIFY_REFLECT(NM_DBLCLK, &CListView_Photos::OnDblClick)
    ON_COMMAND(ID_MAKE_FILM, &CListView_Photos::OnMakeFilm)
    ON_COMMAND(ID_ZOOM_PLUS, &CListView_Photos::OnZoomPlus)
    ON_COMMAND(ID_ZOOM_MINUS, &CListView_Photos::OnZoomMinus)
    ON_WM_KEYDOWN()
    ON_NOTIFY_REFLECT(LVN_ITEMCHANGED, &CListView_Photos::OnItemChanged)
    ON_COMMAND(ID_SELECT_ALL_PHOTOS, &CListView_Photos::OnSelectAll)
    ON_COMMAND(ID_SHOW_PROPERTIES, &CListView_Photos::OnShowProperties)
END_MESSAGE_MAP()

CListView_Photos::CListView_Photos() : m_FilmFps(g_FilmFps), m_FilmName(g_FilmName) {}

CListView_Photos::~CListView_Photos()
{
    m_ImageList.DeleteImageList();
    // The list widget still holds the thumbnails; they are freed once the window is gone.
    if (QCoreApplication* app = QCoreApplication::instance())
        QTimer::singleShot(0, app, &ReturnFreedMemory);
}

bool CListView_Photos::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style |= LVS_SHOWSELALWAYS;
    return CListView::PreCreateWindow(cs);
}

void CListView_Photos::OnInitialUpdate()
{
    CListView::OnInitialUpdate();
    m_pDoc = static_cast<CStrevioDoc*>(GetDocument());
    m_pList = &GetListCtrl();
    m_Folder = m_pDoc->GetPathName();
    m_Folder = g_pFrameTools->GetFolder(m_Folder);
    // The root folder is the empty string; its window says "/".
    m_pDoc->SetTitle(m_Folder.isEmpty() ? QStringLiteral("/") : LocalPath::display(m_Folder));
    g_pFrameTools->ScanFolder(m_Folder, m_Photos, QString(), &m_ScannedStamps);
    RebuildThumbnails();
}

void CListView_Photos::AddThumbnail(int index, qsizetype made, ThumbnailRun& thumbnails)
{
    if (const std::optional<int> kept = thumbnails.keptCell(index)) {
        m_ImageList.CopyCell(index, *m_ThumbnailMemo.cells, *kept);
    } else {
        // The cell's picture comes from the photo's reduced picture, made ahead at the cell's device
        // pixels; a photo that cannot be decoded, or reads width 0, keeps an empty cell.
        const QImage picture = thumbnails.thumbnail(index);
        if (!picture.isNull())
            m_ImageList.ReplacePicture(index, picture);
    }
    if (CListViewWidget* widget = m_pList->GetWidget())
        widget->update(widget->model()->index(index, 0));
    g_pFrameTools->SetProgress(made, m_Photos.GetSize());
}

std::pair<int, int> CListView_Photos::VisibleItems() const
{
    const CListViewWidget* widget = m_pList->GetWidget();
    const int count = m_pList->GetItemCount();
    if (!widget || count == 0 || !widget->isVisible())
        return {0, -1};
    // Items are laid out in list order, row after row: the first one that reaches into the
    // viewport and the last one that begins above its bottom bound those shown.
    const QRect area = widget->viewport()->rect();
    const QAbstractItemModel* model = widget->model();
    auto firstWhere = [&](auto condition) {
        int low = 0, high = count;
        while (low < high) {
            const int middle = low + (high - low) / 2;
            if (condition(widget->visualRect(model->index(middle, 0))))
                high = middle;
            else
                low = middle + 1;
        }
        return low;
    };
    const int first = firstWhere([&](const QRect& cell) { return cell.bottom() >= area.top(); });
    const int end = firstWhere([&](const QRect& cell) { return cell.top() > area.bottom(); });
    return {first, end - 1};
}

int CListView_Photos::NextThumbnail(const std::vector<bool>& filled, qsizetype& nextInOrder,
                                    std::pair<int, int>& preferred, ThumbnailRun& thumbnails) const
{
    // The items on screen come first, then the rest in list order.
    const std::pair<int, int> visible = VisibleItems();
    if (visible != preferred) {
        preferred = visible;
        thumbnails.prefer(visible.first, visible.second);
    }
    for (int k = visible.first; k <= visible.second && k < int(filled.size()); ++k)
        if (!filled[size_t(k)])
            return k;
    while (filled[size_t(nextInOrder)])
        ++nextInOrder;
    return int(nextInOrder);
}

void CListView_Photos::RebuildThumbnails()
{
    CBusyScope busy(this);
    // Cells of another size are of no use to this rebuild; they go before the new ones come.
    const qreal ratio = DevicePixelRatio();
    if (m_ThumbnailMemo.cells
        && (m_ThumbnailMemo.cells->cellSize != QSize(m_ThumbWidth, m_ThumbHeight)
            || m_ThumbnailMemo.cells->devicePixelRatio != ratio))
        m_ThumbnailMemo = ThumbnailRun::Memo();
    m_ImageList.DeleteImageList();
    m_ImageList.Create(m_ThumbWidth, m_ThumbHeight, ILC_COLOR24, 0, 1, ratio);
    m_pList->SetImageList(&m_ImageList, LVSIL_NORMAL);
    const qsizetype count = m_Photos.GetSize();
    m_pList->SetRedraw(false);
    if (m_pList->GetItemCount() > 0)
        m_pList->DeleteAllItems();
    m_ImageList.SetImageCount(UINT(count));
    AfxBeginWaitCursor();
    g_pFrameTools->ShowProgress(QStringLiteral(" "), nullptr);
    // Every item is there from the start, with its label and an empty cell.
    for (qsizetype k = 0; k < count; ++k) {
        // Names are bytes on disk: broken UTF-8 and control characters are shown readably.
        m_Folder = LocalPath::display(g_pFrameTools->GetFileName(m_Photos[k]));
        LVITEM item{LVIF_TEXT | LVIF_IMAGE, int(k), 0, 0, 0, m_Folder, int(k)};
        m_pList->InsertItem(&item);
    }
    m_pList->SetRedraw(true);
    AfxPumpWorkEvents();
    std::vector<FileStamp> stamps = std::exchange(m_ScannedStamps, {});
    if (stamps.size() != size_t(count)) {
        stamps.clear();
        stamps.reserve(size_t(count));
        for (qsizetype k = 0; k < count; ++k)
            stamps.push_back(FileStamp::of(m_Photos[k]));
    }
    {
        ThumbnailRun thumbnails(m_Photos, stamps, m_ImageList.GetCellSize(), m_ThumbnailMemo, ratio);
        // Each cell is filled as its thumbnail comes, those on screen first. The window goes on
        // answering between photos; a termination signal ends the rebuild (and the program) at
        // the next photo.
        std::vector<bool> filled(size_t(count), false);
        qsizetype nextInOrder = 0;
        std::pair<int, int> preferred{0, -1};
        qsizetype made = 0;
        for (; made < count && !TerminationSignals::requested(); ++made) {
            const int k = NextThumbnail(filled, nextInOrder, preferred, thumbnails);
            AddThumbnail(k, made, thumbnails);
            filled[size_t(k)] = true;
            AfxPumpWorkEvents();
        }
        m_ThumbnailMemo = made == count ? thumbnails.memo(m_ImageList.GetData()) : ThumbnailRun::Memo();
    }
    AfxEndWaitCursor();
    g_pFrameTools->m_Progress.DestroyWindow();
    if (CFrameWnd* frame = AfxGetMainWnd())
        frame->SetMessageText(QString());
    m_CurrentItem = 0;
    ReturnFreedMemory();
}

qreal CListView_Photos::DevicePixelRatio() const
{
    if (m_ForcedDevicePixelRatio > 0)
        return m_ForcedDevicePixelRatio;
    const QWidget* widget = m_pList ? m_pList->GetWidget() : nullptr;
    return widget ? widget->devicePixelRatio() : 1.0;
}

void CListView_Photos::OnDpiChanged()
{
    // Cells are made at the ratio they are shown at; a list not built yet builds at the new one.
    if (!m_ImageList.GetSafeHandle() || m_ImageList.GetDevicePixelRatio() == DevicePixelRatio())
        return;
    // Work under way (a rebuild, a film) ends first; the cells are rebuilt after it.
    if (IsBusy()) {
        QTimer::singleShot(50, m_pList->GetWidget(), [this] { OnDpiChanged(); });
        return;
    }
    RebuildThumbnails();
}

void CListView_Photos::OnRefreshPhotos()
{
    RebuildThumbnails();
}

void CListView_Photos::OnZoomPlus()
{
    if (m_ThumbWidth < 200) {
        m_ThumbWidth += 20;
        m_ThumbHeight = std::int32_t(m_ThumbWidth * 0.75);
        RebuildThumbnails();
    }
}

void CListView_Photos::OnZoomMinus()
{
    if (m_ThumbWidth > 20) {
        m_ThumbWidth -= 20;
        m_ThumbHeight = std::int32_t(m_ThumbWidth * 0.75);
        RebuildThumbnails();
    }
}

void CListView_Photos::OpenPhoto(qsizetype index)
{
    g_PathToOpen = m_Photos[index];
    if (auto* app = dynamic_cast<CStrevioApp*>(AfxGetApp()))
        app->m_pPhotoViewTemplate->OpenDocumentFile(QString(), true);
}

void CListView_Photos::OnDblClick(NMHDR* header, LRESULT* result)
{
    const int item = reinterpret_cast<NMITEMACTIVATE*>(header)->iItem;
    if (item < 0)
        return;
    OpenPhoto(item);
    *result = 0;
}

void CListView_Photos::OnItemChanged(NMHDR* header, LRESULT* result)
{
    m_CurrentItem = reinterpret_cast<NMLISTVIEW*>(header)->iItem;
    *result = 0;
}

void CListView_Photos::OnSelectAll()
{
    for (int i = 0; i < m_pList->GetItemCount(); ++i)
        m_pList->SetItemState(i, LVIS_SELECTED, LVIS_SELECTED);
}

void CListView_Photos::RemoveSelectedPhotos()
{
    std::vector<std::int32_t> selected;
    for (int i = m_pList->GetNextItem(-1, LVNI_SELECTED); i != -1; i = m_pList->GetNextItem(i, LVNI_SELECTED))
        selected.push_back(i);
    for (size_t i = 0; i < selected.size(); ++i) {
        const int j = selected[i] - int(i);
        m_Photos.RemoveAt(j);
        m_pList->DeleteItem(j);
    }
    RebuildThumbnails();
}

void CListView_Photos::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    switch (nChar) {
    case VK_RETURN: OpenPhoto(m_CurrentItem); break;
    case VK_DELETE: RemoveSelectedPhotos(); break;
    case 'A':
        if (GetKeyState(VK_CONTROL) < 0)
            OnSelectAll();
        break;
    case 'F': OnMakeFilm(); break;
    case 'P': OnShowProperties(); break;
    case 'R': RebuildThumbnails(); break;
    case VK_ADD: OnZoomPlus(); break;
    case VK_SUBTRACT: OnZoomMinus(); break;
    default: break;
    }
    CListView::OnKeyDown(nChar, nRepCnt, nFlags);
}

void CListView_Photos::OnShowProperties()
{
    CDia_Properties dialog(nullptr);
    g_FilmFps = m_FilmFps;
    g_FilmName = m_FilmName;
    if (dialog.DoModal() == IDOK) {
        m_FilmFps = g_FilmFps;
        m_FilmName = g_FilmName;
    }
}
