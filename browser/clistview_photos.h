// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The photo list: every photo of the opened file's folder as a thumbnail labelled with its file
// name; the film settings of films made from this window; the list's commands and keys.

#include "framework/cimagelist.h"
#include "framework/clistview.h"
#include "browser/thumbnailrun.h"
#include "framework/cstringarray.h"

#include <QString>

#include <cstdint>
#include <utility>
#include <vector>

class CStrevioDoc;

class CListView_Photos : public CListView {
    DECLARE_DYNCREATE(CListView_Photos)
public:
    CListView_Photos();
    ~CListView_Photos() override;

    bool PreCreateWindow(CREATESTRUCT& cs) override;
    void OnInitialUpdate() override;
    void OnDpiChanged() override;
    void RebuildThumbnails();

    void OnRefreshPhotos();
    void OnDblClick(NMHDR* header, LRESULT* result);
    void OnMakeFilm();
    void MakeFilm(QString fullPath);
    void OnZoomPlus();
    void OnZoomMinus();
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnItemChanged(NMHDR* header, LRESULT* result);
    void OnSelectAll();
    void OnShowProperties();

    std::int32_t m_CurrentItem = 0;
    std::int32_t m_ThumbWidth = 100;
    std::int32_t m_ThumbHeight = 75;
    std::int32_t m_FilmFps;
    QString m_Folder;
    QString m_FilmName;
    CStringArray m_Photos;
    CImageList m_ImageList;
    CStrevioDoc* m_pDoc = nullptr;
    CListCtrl* m_pList = nullptr;
    // The device pixel ratio cells are made at instead of the window's, when above 0 (tests).
    qreal m_ForcedDevicePixelRatio = 0;

private:
    qreal DevicePixelRatio() const;
    void OpenPhoto(qsizetype index);
    void RemoveSelectedPhotos();
    // Fills the cell of item `index`, the `made`th of the rebuild, and advances the progress bar.
    void AddThumbnail(int index, qsizetype made, ThumbnailRun& thumbnails);
    // The items the list shows now, first and last (none: last < first).
    std::pair<int, int> VisibleItems() const;
    // The next item whose cell the rebuild fills: one on screen, else the first in list order.
    int NextThumbnail(const std::vector<bool>& filled, qsizetype& nextInOrder, std::pair<int, int>& preferred,
                      ThumbnailRun& thumbnails) const;

    // What the last rebuild made, for the next one to keep.
    ThumbnailRun::Memo m_ThumbnailMemo;
    // Each photo's state as the folder's scan found it, for the first build only: later rebuilds
    // (refresh, zoom, Delete) read the states again, so that a photo changed since is made again.
    std::vector<FileStamp> m_ScannedStamps;

    DECLARE_MESSAGE_MAP()
};
