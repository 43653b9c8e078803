#include "imaging/reducedpictureloader.h"

#include "imaging/imagefile.h"
#include "imaging/reducedpicturestore.h"

#include <atomic>

namespace {
std::atomic<int> g_decodes{0};
} // namespace

ReducedPictureLoader::ReducedPictureLoader(ReducedPictureStore* store) : m_store(store) {}

std::shared_ptr<const ReducedPicture> ReducedPictureLoader::load(const QString& path, const FileStamp& stamp) const
{
    if (m_store && stamp.valid())
        if (auto kept = m_store->find(path, stamp))
            return kept;
    auto picture = decode(path);
    // A file that changed while it was read is not remembered under its earlier state.
    if (m_store && stamp.valid() && FileStamp::of(path) == stamp)
        m_store->keep(path, stamp, picture);
    return picture;
}

int ReducedPictureLoader::decodeCount()
{
    return g_decodes.load();
}

std::shared_ptr<const ReducedPicture> ReducedPictureLoader::decode(const QString& path) const
{
    ++g_decodes;
    std::shared_ptr<ImageSource> source;
    if (ImageFile::open(path, &source) != Ok || !source)
        return std::make_shared<const ReducedPicture>();
    return std::make_shared<const ReducedPicture>(ReducedPicture::fromSource(*source));
}
