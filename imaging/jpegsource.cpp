#include "imaging/jpegsource.h"

#include "imaging/imagelimits.h"
#include "imaging/jpegdecompressor.h"

#include <vector>

namespace {

constexpr int kDenominators[] = {8, 4, 2, 1};
constexpr int kRowsPerRead = 16;

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

} // namespace

JpegSource::JpegSource(QByteArray data, QSize rawSize, ExifOrientation orientation)
    : m_data(std::move(data))
    , m_rawSize(rawSize)
    , m_orientation(orientation)
{
}

std::unique_ptr<JpegSource> JpegSource::open(const QByteArray& data)
{
    JpegDecompressor jpeg(data);
    if (!jpeg.readHeader() || jpeg.isCmyk() || !jpeg.coefficientsFitBudget())
        return nullptr;
    return std::unique_ptr<JpegSource>(
        new JpegSource(data, QSize(jpeg.width(), jpeg.height()), ExifOrientation::fromJpeg(data)));
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
    JpegDecompressor jpeg(m_data);
    if (!denominator || !jpeg.readHeader() || !jpeg.start(denominator))
        return QImage();
    QImage image(jpeg.outputWidth(), jpeg.outputHeight(), QImage::Format_RGB32);
    if (image.isNull() || !readInto(jpeg, image))
        return QImage();
    return m_orientation.apply(image);
}

QImage JpegSource::decodeRegion(const QRect& region)
{
    const QRect raw = m_orientation.toRaw(region, m_rawSize);
    if (!fitsPixelBudget(raw.size()))
        return QImage();
    const QImage image = decodeRaw(raw);
    return image.isNull() ? image : m_orientation.apply(image);
}

// Upright photos whose region starts at the left edge (a film frame's top-left corner) are cut
// by libjpeg to exactly the region's columns, so their rows need no picture in between.
bool JpegSource::decodesInto(const QRect& region) const
{
    return m_orientation.value() == 1 && (region.left() == 0 || region.width() == m_rawSize.width());
}

bool JpegSource::decodeRegionInto(const QRect& region, const GdiPixelRows& rows)
{
    if (!decodesInto(region) || !fitsPixelBudget(region.size()))
        return false;
    JpegDecompressor jpeg(m_data);
    if (!jpeg.readHeader() || !jpeg.start(1, rows.bitsPerPixel / 8))
        return false;
    int left = region.left(), width = region.width();
    if (width < m_rawSize.width() && !jpeg.cropColumns(&left, &width))
        return false;
    if (left != region.left() || width != region.width())
        return false;
    return jpeg.skipRows(region.top()) && readInto(jpeg, rows, region.height());
}

QImage JpegSource::decodeRaw(const QRect& rawRegion)
{
    JpegDecompressor jpeg(m_data);
    if (!jpeg.readHeader() || !jpeg.start(1))
        return QImage();
    int left = rawRegion.left(), width = rawRegion.width();
    if (rawRegion.width() < m_rawSize.width() && !jpeg.cropColumns(&left, &width))
        return QImage();
    QImage rows(width, rawRegion.height(), QImage::Format_RGB32);
    if (rows.isNull() || !jpeg.skipRows(rawRegion.top()) || !readInto(jpeg, rows))
        return QImage();
    if (left == rawRegion.left() && width == rawRegion.width())
        return rows;
    return rows.copy(rawRegion.left() - left, 0, rawRegion.width(), rawRegion.height());
}
