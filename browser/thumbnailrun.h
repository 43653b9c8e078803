// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The thumbnails of one rebuild of a photo list. A photo unchanged since the list's last rebuild
// (same path, size, modification time and file) at the same cell size keeps its cell; the others
// get a thumbnail from their reduced picture, which comes from memory, or from a decode made
// ahead on worker threads. The workers end with the run.

#include "platform/files/filestamp.h"
#include "thumbnails/reducedpictureloader.h"

#include <QHash>
#include <QImage>
#include <QSize>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class CStringArray;
struct CImageListData;
class ThumbnailPrefetcher;

class ThumbnailRun {
public:
    // What a rebuild leaves for the next one: each item's photo and its state, and the cells.
    struct Memo {
        std::vector<QString> paths;
        std::vector<FileStamp> stamps;
        std::shared_ptr<const CImageListData> cells;
    };

    // `stamps` holds each photo's state, read before. Cells are `cellSize` logical pixels; their
    // pictures are made at `devicePixelRatio` times that.
    ThumbnailRun(const CStringArray& photos, const std::vector<FileStamp>& stamps, const QSize& cellSize,
                 const Memo& previous, qreal devicePixelRatio = 1.0);
    ~ThumbnailRun();
    ThumbnailRun(const ThumbnailRun&) = delete;
    ThumbnailRun& operator=(const ThumbnailRun&) = delete;

    // The cell of the earlier rebuild that photo `index` keeps, if any.
    std::optional<int> keptCell(int index) const;
    // The picture of photo `index` fitted into the cell's device pixels; null when the photo gives
    // none. Each index is asked for once, in any order.
    QImage thumbnail(int index);
    // Photos first..last (those on screen) are made before the others not begun yet.
    void prefer(int first, int last);

    Memo memo(std::shared_ptr<const CImageListData> cells) const;

private:
    std::vector<QString> m_paths;
    std::vector<FileStamp> m_stamps;
    std::vector<int> m_kept;            // earlier cell of each photo, or -1
    std::vector<int> m_toMake;          // photos without a kept cell, in order
    QHash<int, int> m_positionToMake;   // photo index -> position in m_toMake
    QSize m_deviceCell;
    ReducedPictureLoader m_loader;
    std::unique_ptr<ThumbnailPrefetcher> m_prefetcher;
};
