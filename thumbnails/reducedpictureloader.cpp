// SPDX-License-Identifier: GPL-2.0-or-later
#include "thumbnails/reducedpictureloader.h"

#include "imaging/imagefile.h"
#include "thumbnails/cachewriter.h"
#include "thumbnails/reducedpicturestore.h"

#include <atomic>

namespace {
std::atomic<int> g_decodes{0};
} // namespace

ReducedPictureLoader::ReducedPictureLoader(ReducedPictureStore* store, std::optional<ThumbnailCache> cache, int side,
                                           CacheWriter* writer)
    : m_store(store)
    , m_cache(std::move(cache))
    , m_side(side)
    , m_writer(writer)
{
}

int ReducedPictureLoader::decodeCount()
{
    return g_decodes.load();
}

std::shared_ptr<const ReducedPicture> ReducedPictureLoader::load(const QString& path, const FileStamp& stamp,
                                                                 bool keep) const
{
    if (m_store && stamp.valid())
        if (auto kept = m_store->find(path, stamp); kept && kept->covers(m_side))
            return kept;
    const QByteArray name = ThumbnailCache::nameOf(path);
    if (auto cached = fromCache(name, stamp)) {
        if (m_store && keep)
            m_store->keep(path, stamp, cached);
        return cached;
    }
    const Decoded decoded = decode(path, name);
    // A file that changed while it was read is not remembered under its earlier state.
    if (stamp.valid() && decoded.lasting && FileStamp::ofName(name.constData()) == stamp)
        share(path, name, stamp, decoded, keep);
    return decoded.picture;
}

std::shared_ptr<const ReducedPicture> ReducedPictureLoader::fromCache(const QByteArray& name, const FileStamp& stamp) const
{
    if (!m_cache || !stamp.valid())
        return nullptr;
    // Only a thumbnail exactly as this program would make it: the photo's stated size fitted into
    // the entry's size, this one or a larger. Anything else is made again from the photo.
    for (int side = m_side; side <= ThumbnailCache::kLargestSide; side *= 2) {
        QSize photoSize;
        const QImage thumbnail = m_cache->load(name, stamp, &photoSize, side);
        if (thumbnail.isNull() || !photoSize.isValid() || ReducedPicture::fittedSize(photoSize, side) != thumbnail.size())
            continue;
        const QSize wanted = ReducedPicture::fittedSize(photoSize, m_side);
        const QImage reduced = thumbnail.size() == wanted
                                 ? thumbnail
                                 : thumbnail.scaled(wanted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        return std::make_shared<const ReducedPicture>(ReducedPicture::fromThumbnail(photoSize, reduced));
    }
    if (m_cache->isKnownFailure(name, stamp))
        return std::make_shared<const ReducedPicture>();
    return nullptr;
}

std::size_t ReducedPictureLoader::storeRoom() const
{
    if (!m_store)
        return 0;
    // A camera photo's picture: 4:3, three bytes a pixel.
    const std::size_t picture = std::size_t(m_side) * std::size_t(m_side) * 3 / 4 * 3 + sizeof(ReducedPicture);
    return m_store->budget() / picture;
}

ReducedPictureLoader::Decoded ReducedPictureLoader::decode(const QString& path, const QByteArray& name) const
{
    ++g_decodes;
    std::shared_ptr<ImageSource> source;
    DecodeFault fault;
    if (ImageFile::open(path, name, &source, &fault) != Ok || !source)
        return Decoded{std::make_shared<const ReducedPicture>(), fault.isLasting()};
    auto picture = std::make_shared<const ReducedPicture>(ReducedPicture::fromSource(*source, m_side));
    // Only what another attempt on the unchanged file would give again is remembered: a photo that
    // is damaged, cut short or no picture, not one that met a read error or a want of memory.
    return Decoded{std::move(picture), source->fault().isLasting()};
}

void ReducedPictureLoader::share(const QString& path, const QByteArray& name, const FileStamp& stamp,
                                 const Decoded& decoded, bool keep) const
{
    if (m_store && keep)
        m_store->keep(path, stamp, decoded.picture);
    if (!m_cache)
        return;
    if (!decoded.picture->isDecoded())
        m_cache->storeFailure(name, stamp);
    else if (m_writer)
        m_writer->write(*m_cache, name, stamp, decoded.picture, m_side, m_store && keep);
    else
        m_cache->store(name, stamp, decoded.picture->picture, decoded.picture->photoSize, m_side);
}
