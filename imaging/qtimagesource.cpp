// SPDX-License-Identifier: GPL-2.0-or-later
#include "imaging/qtimagesource.h"

#include "imaging/imagelimits.h"
#include "imaging/tiffsizecheck.h"

#include <QBuffer>
#include <QImageIOHandler>
#include <QImageReader>

#include <algorithm>
#include <iterator>

namespace {

// The whole budget as 32-bit pixels, in the megabytes QImageReader counts in.
constexpr int kAllocationLimitMiB = int(kImagePixelBudget * 4 / (1024 * 1024)) + 1;
constexpr qsizetype kGifSizeWindow = 1 << 20;
const char* const kPhotoFormats[] = {"bmp", "gif", "ico", "cur", "jpeg", "png", "tiff"};

QSize uprightSize(const QImageReader& reader, const QSize& stored)
{
    return reader.transformation().testFlag(QImageIOHandler::TransformationRotate90) ? stored.transposed() : stored;
}

} // namespace

QtImageSource::QtImageSource(QByteArray data, QByteArray format, QSize size)
    : m_data(std::move(data))
    , m_format(std::move(format))
    , m_size(size)
{
}

bool QtImageSource::isPhotoFormat(const QByteArray& format)
{
    return std::any_of(std::begin(kPhotoFormats), std::end(kPhotoFormats),
                       [&format](const char* name) { return format == name; });
}

// Qt's GIF plugin reads through every frame of the file to tell the size of the first; that
// frame begins near the start, so only the start is given to it. Without an answer there, the
// picture's size is taken from its first frame, decoded at once.
QSize QtImageSource::storedSize(QImageReader& reader, const QByteArray& data)
{
    if (reader.format() != "gif" || data.size() <= kGifSizeWindow)
        return reader.size();
    QBuffer window;
    window.setData(QByteArray::fromRawData(data.constData(), kGifSizeWindow));
    window.open(QIODevice::ReadOnly);
    return QImageReader(&window, "gif").size();
}

void QtImageSource::prepare(QImageReader& reader)
{
    reader.setAutoTransform(true);
    reader.setAllocationLimit(kAllocationLimitMiB);
}

bool QtImageSource::isIconFile(const QByteArray& data)
{
    return data.startsWith(QByteArray("\0\0\1\0", 4)) || data.startsWith(QByteArray("\0\0\2\0", 4));
}

// Icon files hold several small images; the largest one is the picture. The reader does not
// report the size of each image before reading it, so all are read.
QImage QtImageSource::largestIcon(QImageReader& reader)
{
    QImage largest;
    const int count = std::max(1, reader.imageCount());
    for (int i = 0; i < count && (i == 0 || reader.jumpToImage(i)); ++i) {
        QImage candidate;
        if (reader.read(&candidate) && pixelCount(candidate.size()) > pixelCount(largest.size()))
            largest = candidate;
    }
    return largest;
}

std::unique_ptr<QtImageSource> QtImageSource::open(const QByteArray& data, DecodeFault* fault)
{
    if (TiffSizeCheck::isTiff(data) && !TiffSizeCheck::fitsBudget(data)) {
        *fault = DecodeFault(DecodeFault::Kind::TooLarge, QStringLiteral("more pixels than are decoded at once"));
        return nullptr;
    }
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    const QByteArray format = QImageReader::imageFormat(&buffer);
    if (!isPhotoFormat(format)) {
        *fault = DecodeFault(DecodeFault::Kind::NotAPicture, format.isEmpty() ? QString() : QStringLiteral("a %1 file").arg(QString::fromLatin1(format)));
        return nullptr;
    }
    QImageReader reader(&buffer, format);
    prepare(reader);
    if (!reader.canRead()) {
        *fault = DecodeFault(DecodeFault::Kind::Damaged, reader.errorString());
        return nullptr;
    }
    const bool icon = isIconFile(data);
    const QSize stored = icon ? QSize() : storedSize(reader, data);
    std::unique_ptr<QtImageSource> source(new QtImageSource(data, format, uprightSize(reader, stored)));
    if (icon)
        source->keep(largestIcon(reader), reader);
    else if (!stored.isValid())
        source->image(); // a plugin that cannot tell the size without decoding
    if (!source->m_size.isValid())
        *fault = source->fault();
    else if (!fitsPixelBudget(source->m_size))
        *fault = DecodeFault(DecodeFault::Kind::TooLarge, QStringLiteral("more pixels than are decoded at once"));
    return fault->isNone() ? std::move(source) : nullptr;
}

const QImage& QtImageSource::image()
{
    if (!m_image.isNull() || m_failed)
        return m_image;
    QBuffer buffer(&m_data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, m_format);
    prepare(reader);
    // A plugin that fails may leave a picture behind whose rows it never wrote (PNG does).
    QImage decoded;
    if (!reader.read(&decoded))
        decoded = QImage();
    keep(decoded, reader);
    return m_image;
}

void QtImageSource::keep(const QImage& decoded, const QImageReader& reader)
{
    if (decoded.isNull()) {
        m_failed = true;
        noteFault(DecodeFault(DecodeFault::Kind::Damaged, reader.errorString()));
        return;
    }
    m_image = decoded.hasAlphaChannel() ? decoded.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                                        : decoded.convertToFormat(QImage::Format_RGB32);
    if (m_image.isNull()) {
        m_failed = true;
        noteFault(DecodeFault::Kind::NoResources);
        return;
    }
    // The size once reported stays; a picture that decodes to another size is cut or padded.
    if (!m_size.isValid())
        m_size = m_image.size();
}

QImage QtImageSource::decodeReduced(const QSize&)
{
    return image();
}

QImage QtImageSource::decodeRegion(const QRect& region)
{
    const QImage& whole = image();
    return whole.isNull() ? whole : regionOf(whole, region);
}
