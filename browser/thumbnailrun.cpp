// SPDX-License-Identifier: GPL-2.0-or-later
#include "browser/thumbnailrun.h"

#include "framework/cimagelist.h"
#include "framework/cstringarray.h"
#include "thumbnails/cachewriter.h"
#include "thumbnails/reducedpicturestore.h"
#include "thumbnails/thumbnailprefetcher.h"
#include "thumbnails/thumbnailsettings.h"

#include <algorithm>

namespace {

ReducedPictureStore* SharedStore()
{
    return ThumbnailSettings::current().memory ? &ReducedPictureStore::shared() : nullptr;
}

std::optional<ThumbnailCache> DesktopCache()
{
    const QString root = ThumbnailSettings::current().diskCache ? ThumbnailCache::defaultRoot() : QString();
    return root.isEmpty() ? std::nullopt : std::optional<ThumbnailCache>(ThumbnailCache(root));
}

CacheWriter* EntryWriter()
{
    return ThumbnailSettings::current().writeLater ? &CacheWriter::shared() : nullptr;
}

int WorkerThreads()
{
    const int threads = ThumbnailSettings::current().threads;
    return threads < 0 ? ThumbnailPrefetcher::defaultThreads() : threads;
}

} // namespace

ThumbnailRun::ThumbnailRun(const CStringArray& photos, const std::vector<FileStamp>& stamps, const QSize& cellSize,
                           const Memo& previous, qreal devicePixelRatio)
    : m_stamps(stamps)
    , m_deviceCell(CImageList::DeviceCellSize(cellSize, devicePixelRatio))
    , m_loader(SharedStore(), DesktopCache(), ReducedPicture::sideFor(devicePixelRatio), EntryWriter())
{
    QHash<QString, int> earlier;
    const bool sameCells = previous.cells && previous.cells->cellSize == cellSize
                        && previous.cells->devicePixelRatio == devicePixelRatio;
    if (sameCells)
        for (size_t i = 0; i < previous.paths.size(); ++i)
            earlier.insert(previous.paths[i], int(i));
    const qsizetype count = photos.GetSize();
    Q_ASSERT(size_t(count) == stamps.size());
    m_paths.reserve(size_t(count));
    m_kept.reserve(size_t(count));
    for (qsizetype k = 0; k < count; ++k) {
        const QString& path = photos[k];
        const FileStamp& stamp = stamps[size_t(k)];
        const auto found = earlier.constFind(path);
        const bool keeps = stamp.valid() && found != earlier.constEnd() && previous.stamps[size_t(*found)] == stamp;
        m_paths.push_back(path);
        m_kept.push_back(keeps ? *found : -1);
        if (!keeps) {
            m_positionToMake.insert(int(k), int(m_toMake.size()));
            m_toMake.push_back(int(k));
        }
    }
    if (m_toMake.empty())
        return;
    // A list larger than the store keeps the pictures of its first photos and passes the others
    // by. Kept in turn, each rebuild (zoom, Delete) would push out the pictures of the photos it
    // comes to next, in the very order it needs them, and find none there.
    const size_t storeRoom = m_loader.storeRoom();
    m_prefetcher = std::make_unique<ThumbnailPrefetcher>(
        int(m_toMake.size()),
        [this, storeRoom](int position) {
            const size_t k = size_t(m_toMake[size_t(position)]);
            return m_loader.load(m_paths[k], m_stamps[k], k < storeRoom)->cellPicture(m_deviceCell);
        },
        WorkerThreads());
}

ThumbnailRun::~ThumbnailRun() = default;

std::optional<int> ThumbnailRun::keptCell(int index) const
{
    const int kept = m_kept[size_t(index)];
    return kept >= 0 ? std::optional<int>(kept) : std::nullopt;
}

QImage ThumbnailRun::thumbnail(int index)
{
    const auto position = m_positionToMake.constFind(index);
    if (!m_prefetcher || position == m_positionToMake.constEnd())
        return QImage();
    return m_prefetcher->take(*position);
}

void ThumbnailRun::prefer(int first, int last)
{
    if (!m_prefetcher)
        return;
    // m_toMake is in increasing order: the photos of first..last to make are one run of it.
    const auto begin = std::lower_bound(m_toMake.begin(), m_toMake.end(), first);
    const auto end = std::upper_bound(begin, m_toMake.end(), last);
    m_prefetcher->prefer(int(begin - m_toMake.begin()), int(end - m_toMake.begin()) - 1);
}

ThumbnailRun::Memo ThumbnailRun::memo(std::shared_ptr<const CImageListData> cells) const
{
    return Memo{m_paths, m_stamps, std::move(cells)};
}
