// SPDX-License-Identifier: GPL-2.0-or-later
#include "imaging/jpegsource.h"

#include "imaging/imagelimits.h"
#include "imaging/jpegdecompressor.h"

#include <algorithm>

namespace {

constexpr int kDenominators[] = {8, 4, 2, 1};
constexpr int kRowsPerRead = 16;
constexpr qsizetype kMaxMarkerSearch = qsizetype(16) << 20;

QSize reducedSize(const QSize& size, int denominator)
{
    return QSize((size.width() + denominator - 1) / denominator, (size.height() + denominator - 1) / denominator);
}

bool readInto(JpegDecompressor& jpeg, const GdiPixelRows& target, int height)
{
    unsigned char* rows[kRowsPerRead];
    for (int y = 0; y < height; y += kRowsPerRead) {
        const int count = std::min(kRowsPerRead, height - y);
        for (int i = 0; i < count; ++i)
            rows[i] = target.row(y + i);
        if (!jpeg.readRows(rows, count))
            return false;
    }
    return true;
}

bool readInto(JpegDecompressor& jpeg, QImage& image)
{
    return readInto(jpeg, GdiPixelRows{image.bits(), image.bytesPerLine(), 32}, image.height());
}

// A file cut short decodes as far as it goes; one that ends with its header has no pixels.
bool startDecoding(JpegDecompressor& jpeg, int denominator, int bytesPerPixel = 4)
{
    return jpeg.readHeader() && jpeg.hasPictureData() && jpeg.start(denominator, bytesPerPixel);
}

// Where the file's last marker begins; 0 when there is none past the start. In scan data a 0xFF
// is followed by 0x00 (a stuffed byte) or a restart code, elsewhere it begins a marker (after
// any fill bytes 0xFF).
qsizetype lastMarker(const QByteArray& data)
{
    const qsizetype stop = std::max<qsizetype>(2, data.size() - kMaxMarkerSearch);
    for (qsizetype i = data.size() - 2; i >= stop; --i) {
        const auto code = uchar(data[i + 1]);
        if (uchar(data[i]) == 0xFF && code != 0x00 && code != 0xFF && (code < 0xD0 || code > 0xD7))
            return i;
    }
    return 0;
}

// libjpeg gives up on a file that ends inside a table or a scan header (a progressive file has
// them between its scans), though the scans before them are whole: such a file is decoded again,
// up to the marker that begins the segment it ends in.
template <typename Decode>
QImage decodeWholeSegments(const QByteArray& data, Decode decode, DecodeFault* fault)
{
    const QImage image = decode(data, fault);
    if (!image.isNull() || fault->kind() != DecodeFault::Kind::CutShort)
        return image;
    const qsizetype end = lastMarker(data);
    return end > 0 ? decode(QByteArray::fromRawData(data.constData(), end), fault) : image;
}

DecodeFault noMemoryFor(const QImage& image, const QSize& size)
{
    return image.isNull() ? DecodeFault(DecodeFault::Kind::NoResources,
                                        QStringLiteral("no memory for %1 x %2 pixels").arg(size.width()).arg(size.height()))
                          : DecodeFault();
}

const DecodeFault kOverBudget(DecodeFault::Kind::TooLarge, QStringLiteral("more pixels than are decoded at once"));

} // namespace

JpegSource::JpegSource(QByteArray data, QSize rawSize, ExifOrientation orientation)
    : m_data(std::move(data))
    , m_rawSize(rawSize)
    , m_orientation(orientation)
{
}

std::unique_ptr<JpegSource> JpegSource::open(const QByteArray& data, DecodeFault* fault)
{
    JpegDecompressor jpeg(data);
    if (!jpeg.readHeader()) {
        *fault = jpeg.fault();
        return nullptr;
    }
    if (!jpeg.coefficientsFitBudget())
        *fault = DecodeFault(DecodeFault::Kind::TooLarge, QStringLiteral("its scans need more memory than is allowed"));
    if (jpeg.isCmyk() || !fault->isNone())
        return nullptr;
    return std::unique_ptr<JpegSource>(
        new JpegSource(data, QSize(jpeg.width(), jpeg.height()), ExifOrientation::fromJpeg(data)));
}

bool JpegSource::hasReadableHeader(const QByteArray& data)
{
    return JpegDecompressor(data).readHeader();
}

// The strongest reduction that keeps the picture at least as large as asked, and within the
// pixel budget; when even the strongest one is too large there is none.
int JpegSource::reductionFor(const QSize& rawAtLeast) const
{
    int chosen = 0;
    for (int denominator : kDenominators) {
        const QSize reduced = reducedSize(m_rawSize, denominator);
        if (!fitsPixelBudget(reduced))
            break;
        chosen = denominator;
        if (reduced.width() >= rawAtLeast.width() && reduced.height() >= rawAtLeast.height())
            break;
    }
    return chosen;
}

QImage JpegSource::decodeReduced(const QSize& atLeast)
{
    const int denominator = reductionFor(m_orientation.raw(atLeast));
    if (!denominator)
        return noted(QImage(), kOverBudget);
    DecodeFault fault;
    const QImage image = decodeWholeSegments(
        m_data, [denominator](const QByteArray& data, DecodeFault* fault) { return decodeScaled(data, denominator, fault); },
        &fault);
    return noted(image.isNull() ? image : m_orientation.apply(image), fault);
}

QImage JpegSource::decodeScaled(const QByteArray& data, int denominator, DecodeFault* fault)
{
    JpegDecompressor jpeg(data);
    const bool started = startDecoding(jpeg, denominator);
    const QSize size(jpeg.outputWidth(), jpeg.outputHeight());
    QImage image = started ? QImage(size, QImage::Format_RGB32) : QImage();
    *fault = started ? noMemoryFor(image, size) : DecodeFault();
    if (!image.isNull() && !readInto(jpeg, image))
        image = QImage();
    fault->add(jpeg.fault());
    return image;
}

QImage JpegSource::decodeRegion(const QRect& region)
{
    const QRect raw = m_orientation.toRaw(region, m_rawSize);
    if (!fitsPixelBudget(raw.size()))
        return noted(QImage(), kOverBudget);
    DecodeFault fault;
    const QImage image = decodeWholeSegments(
        m_data,
        [this, raw](const QByteArray& data, DecodeFault* fault) {
            JpegDecompressor jpeg(data);
            QImage rows = decodeRaw(jpeg, raw, fault);
            fault->add(jpeg.fault());
            return rows;
        },
        &fault);
    return noted(image.isNull() ? image : m_orientation.apply(image), fault);
}

QImage JpegSource::noted(QImage image, const DecodeFault& fault)
{
    noteFault(image.isNull() && fault.isNone() ? DecodeFault(DecodeFault::Kind::Damaged) : fault);
    return image;
}

// Upright photos whose region starts at the left edge (a film frame's top-left corner) are cut
// by libjpeg to exactly the region's columns, so their rows need no picture in between.
bool JpegSource::decodesInto(const QRect& region) const
{
    return m_orientation.value() == 1 && (region.left() == 0 || region.width() == m_rawSize.width());
}

bool JpegSource::decodeRegionInto(const QRect& region, const GdiPixelRows& rows)
{
    if (!decodesInto(region))
        return false;
    if (!fitsPixelBudget(region.size())) {
        noteFault(kOverBudget);
        return false;
    }
    // A file that ends inside a table is decoded again up to it, as decodeWholeSegments does.
    DecodeFault fault;
    bool decoded = decodeCornerInto(m_data, region, rows, &fault);
    const qsizetype end = !decoded && fault.kind() == DecodeFault::Kind::CutShort ? lastMarker(m_data) : 0;
    if (end > 0)
        decoded = decodeCornerInto(QByteArray::fromRawData(m_data.constData(), end), region, rows, &fault);
    noteFault(!decoded && fault.isNone() ? DecodeFault(DecodeFault::Kind::Damaged) : fault);
    return decoded;
}

bool JpegSource::decodeCornerInto(const QByteArray& data, const QRect& region, const GdiPixelRows& rows,
                                  DecodeFault* fault) const
{
    JpegDecompressor jpeg(data);
    bool decoded = startDecoding(jpeg, 1, rows.bitsPerPixel / 8);
    int left = region.left(), width = region.width();
    if (decoded && width < m_rawSize.width())
        decoded = jpeg.cropColumns(&left, &width) && left == region.left() && width == region.width();
    decoded = decoded && jpeg.skipRows(region.top()) && readInto(jpeg, rows, region.height());
    *fault = jpeg.fault();
    return decoded;
}

QImage JpegSource::decodeRaw(JpegDecompressor& jpeg, const QRect& rawRegion, DecodeFault* fault) const
{
    if (!startDecoding(jpeg, 1))
        return QImage();
    int left = rawRegion.left(), width = rawRegion.width();
    if (rawRegion.width() < m_rawSize.width() && !jpeg.cropColumns(&left, &width))
        return QImage();
    QImage rows(width, rawRegion.height(), QImage::Format_RGB32);
    *fault = noMemoryFor(rows, QSize(width, rawRegion.height()));
    if (rows.isNull() || !jpeg.skipRows(rawRegion.top()) || !readInto(jpeg, rows))
        return QImage();
    if (left == rawRegion.left() && width == rawRegion.width())
        return rows;
    QImage region = rows.copy(rawRegion.left() - left, 0, rawRegion.width(), rawRegion.height());
    *fault = noMemoryFor(region, rawRegion.size());
    return region;
}
