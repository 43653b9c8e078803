// SPDX-License-Identifier: GPL-2.0-or-later
#include "thumbnails/thumbnailentry.h"

#include "imaging/pngreader.h"
#include "imaging/pngwriter.h"

#include <climits>
#include <cstdlib>

namespace {

constexpr const char* kUri = "Thumb::URI";
constexpr const char* kMTime = "Thumb::MTime";
constexpr const char* kSize = "Thumb::Size";
constexpr const char* kImageWidth = "Thumb::Image::Width";
constexpr const char* kImageHeight = "Thumb::Image::Height";
constexpr const char* kSoftware = "Software";
// The standard's keys tell files apart to the second. Entries this program writes also carry the
// nanoseconds of the modification time, so that a photo replaced within the same second by one
// of the same size is not shown with the earlier one's thumbnail. Which file it is (device and
// inode) is not asked: a folder copied back with its times (cp -a, rsync -a) or a card mounted
// again gets new inodes for the same photos. Entries of earlier versions say
// "<device>:<inode>:<nanoseconds>"; only their last field counts. Other programs ignore the key.
constexpr const char* kFileState = "X-Strevio::FileState";
constexpr const char* kKeys[] = {kUri, kMTime, kSize, kImageWidth, kImageHeight, kFileState};

QByteArray fileState(const FileStamp& stamp)
{
    return QByteArray::number(stamp.mtimeNanoseconds);
}

bool sameFileState(const QByteArray& state, const FileStamp& stamp)
{
    return state.mid(state.lastIndexOf(':') + 1) == fileState(stamp);
}

// Entries carry a handful of keys; other programs' extra keys fit well within these.
constexpr png_uint_32 kMaxAncillaryChunks = 32;
constexpr png_alloc_size_t kMaxChunkBytes = 64 * 1024;

// A decimal integer and nothing else: no sign but a leading minus, no spaces, no fraction.
std::optional<qint64> decimal(const std::optional<QByteArray>& text)
{
    if (!text)
        return std::nullopt;
    const qsizetype digitsFrom = text->startsWith('-') ? 1 : 0;
    const qsizetype digits = text->size() - digitsFrom;
    if (digits < 1 || digits > 18)
        return std::nullopt;
    for (qsizetype i = digitsFrom; i < text->size(); ++i)
        if (text->at(i) < '0' || text->at(i) > '9')
            return std::nullopt;
    return text->toLongLong();
}

bool rowIsOpaque(const uchar* bgra, int width)
{
    for (int x = 0; x < width; ++x)
        if (bgra[x * 4 + 3] != 0xFF)
            return false;
    return true;
}

bool near(const QSize& a, const QSize& b)
{
    return std::abs(a.width() - b.width()) <= 1 && std::abs(a.height() - b.height()) <= 1;
}

} // namespace

ThumbnailEntry ThumbnailEntry::decode(const QByteArray& data, int side)
{
    PngReader png(data);
    png.limitAncillaryChunks(kMaxAncillaryChunks, kMaxChunkBytes);
    // The folder's size, far within the pixel budget of photos, is checked before any row is read.
    if (!png.readHeader() || png.isInterlaced() || qMax(png.width(), png.height()) > side || !png.startRows())
        return ThumbnailEntry();
    QImage image(png.width(), png.height(), QImage::Format_ARGB32);
    if (image.isNull())
        return ThumbnailEntry();
    bool opaque = true;
    for (int y = 0; y < image.height(); ++y) {
        if (!png.readRow(image.scanLine(y)))
            return ThumbnailEntry();
        opaque = opaque && rowIsOpaque(image.constScanLine(y), image.width());
    }
    if (!png.readEnd())
        return ThumbnailEntry();
    ThumbnailEntry entry;
    entry.m_side = side;
    entry.m_texts = png.texts();
    if (entry.hasRepeatedKeys())
        return ThumbnailEntry();
    if (opaque)
        image.reinterpretAsFormat(QImage::Format_RGB32);
    else
        image.convertTo(QImage::Format_ARGB32_Premultiplied);
    entry.m_image = image;
    return entry;
}

QByteArray ThumbnailEntry::encode(const QImage& image, const QByteArray& uri, const FileStamp& stamp,
                                  const QSize& photoSize)
{
    QList<QPair<QByteArray, QByteArray>> texts{{kUri, uri},
                                               {kMTime, QByteArray::number(stamp.mtimeSeconds)},
                                               {kSize, QByteArray::number(stamp.size)},
                                               {kSoftware, QByteArrayLiteral("Strevio " STREVIO_VERSION)},
                                               {kFileState, fileState(stamp)}};
    if (photoSize.isValid()) {
        texts.append({kImageWidth, QByteArray::number(photoSize.width())});
        texts.append({kImageHeight, QByteArray::number(photoSize.height())});
    }
    return PngWriter::encode(image, texts);
}

bool ThumbnailEntry::isThumbnailOf(const QSize& thumbnail, const QSize& photo, int side)
{
    if (photo.isEmpty())
        return false;
    const qint64 longer = qMax(photo.width(), photo.height());
    QSize fitted = photo;
    if (longer > side) {
        const auto scaled = [longer, side](qint64 length) {
            return int(qMax<qint64>(1, (length * side + longer / 2) / longer));
        };
        fitted = QSize(scaled(photo.width()), scaled(photo.height()));
    }
    return near(thumbnail, fitted) || near(thumbnail, fitted.transposed());
}

bool ThumbnailEntry::describes(const QByteArray& uri, const FileStamp& stamp) const
{
    if (isNull() || text(kUri) != uri || decimal(text(kMTime)) != stamp.mtimeSeconds)
        return false;
    if (const auto state = text(kFileState); state && !sameFileState(*state, stamp))
        return false;
    return !text(kSize) || decimal(text(kSize)) == stamp.size;
}

bool ThumbnailEntry::isFullThumbnail() const
{
    if (!text(kImageWidth) && !text(kImageHeight))
        return qMax(m_image.width(), m_image.height()) == m_side;
    const QSize photo = photoSize();
    return photo.isValid() && isThumbnailOf(m_image.size(), photo, m_side);
}

QSize ThumbnailEntry::photoSize() const
{
    const auto width = decimal(text(kImageWidth));
    const auto height = decimal(text(kImageHeight));
    if (!width || !height || *width <= 0 || *height <= 0 || *width > INT_MAX || *height > INT_MAX)
        return QSize();
    return QSize(int(*width), int(*height));
}

std::optional<QByteArray> ThumbnailEntry::text(const char* key) const
{
    for (const auto& [name, value] : m_texts)
        if (name == key)
            return value;
    return std::nullopt;
}

bool ThumbnailEntry::hasRepeatedKeys() const
{
    for (const char* key : kKeys) {
        qsizetype count = 0;
        for (const auto& pair : m_texts)
            count += pair.first == key ? 1 : 0;
        if (count > 1)
            return true;
    }
    return false;
}
