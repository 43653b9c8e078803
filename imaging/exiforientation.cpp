// SPDX-License-Identifier: GPL-2.0-or-later
#include "imaging/exiforientation.h"

#include <QTransform>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

constexpr int kMarkerSoi = 0xD8;
constexpr int kMarkerSos = 0xDA;
constexpr int kMarkerApp1 = 0xE1;
constexpr std::uint16_t kTagOrientation = 0x0112;
constexpr std::uint16_t kTypeShort = 3;

// Reads integers of a TIFF structure in its own byte order, bounds-checked.
class TiffReader {
public:
    TiffReader(const unsigned char* data, std::size_t size) : m_data(data), m_size(size)
    {
        m_bigEndian = size >= 2 && data[0] == 'M' && data[1] == 'M';
    }
    bool hasHeader() const
    {
        return m_size >= 8 && (m_bigEndian || (m_data[0] == 'I' && m_data[1] == 'I')) && u16(2) == 42;
    }
    std::uint32_t u16(std::size_t at) const
    {
        if (at + 2 > m_size)
            return 0;
        return m_bigEndian ? (m_data[at] << 8 | m_data[at + 1]) : (m_data[at + 1] << 8 | m_data[at]);
    }
    std::uint32_t u32(std::size_t at) const
    {
        return m_bigEndian ? (u16(at) << 16 | u16(at + 2)) : (u16(at + 2) << 16 | u16(at));
    }
    std::size_t size() const { return m_size; }

private:
    const unsigned char* m_data;
    std::size_t m_size;
    bool m_bigEndian;
};

int orientationFromTiff(const TiffReader& tiff)
{
    if (!tiff.hasHeader())
        return 1;
    const std::size_t ifd = tiff.u32(4);
    const std::size_t entries = tiff.u16(ifd);
    for (std::size_t i = 0; i < entries; ++i) {
        const std::size_t entry = ifd + 2 + i * 12;
        if (entry + 12 > tiff.size())
            break;
        if (tiff.u16(entry) == kTagOrientation && tiff.u16(entry + 2) == kTypeShort) {
            const int value = int(tiff.u16(entry + 8));
            return value >= 1 && value <= 8 ? value : 1;
        }
    }
    return 1;
}

int orientationFromApp1(const unsigned char* segment, std::size_t length)
{
    static const char kExifId[6] = {'E', 'x', 'i', 'f', 0, 0};
    if (length < 6 || std::memcmp(segment, kExifId, 6) != 0)
        return 0;
    return orientationFromTiff(TiffReader(segment + 6, length - 6));
}

} // namespace

ExifOrientation::ExifOrientation(int value) : m_value(value >= 1 && value <= 8 ? value : 1) {}

ExifOrientation ExifOrientation::fromJpeg(const QByteArray& data)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.constData());
    const std::size_t size = std::size_t(data.size());
    if (size < 4 || bytes[0] != 0xFF || bytes[1] != kMarkerSoi)
        return ExifOrientation();
    std::size_t at = 2;
    while (at + 4 <= size && bytes[at] == 0xFF) {
        const int marker = bytes[at + 1];
        if (marker == 0xFF) { // fill byte
            ++at;
            continue;
        }
        if (marker == kMarkerSos)
            break;
        const std::size_t length = std::size_t(bytes[at + 2] << 8 | bytes[at + 3]);
        if (length < 2 || at + 2 + length > size)
            break;
        if (marker == kMarkerApp1) {
            const int value = orientationFromApp1(bytes + at + 4, length - 2);
            if (value)
                return ExifOrientation(value);
        }
        at += 2 + length;
    }
    return ExifOrientation();
}

QPoint ExifOrientation::toRaw(const QPoint& p, const QSize& rawSize) const
{
    const int w = rawSize.width() - 1, h = rawSize.height() - 1;
    switch (m_value) {
    case 2: return {w - p.x(), p.y()};
    case 3: return {w - p.x(), h - p.y()};
    case 4: return {p.x(), h - p.y()};
    case 5: return {p.y(), p.x()};
    case 6: return {p.y(), h - p.x()};
    case 7: return {w - p.y(), h - p.x()};
    case 8: return {w - p.y(), p.x()};
    default: return p;
    }
}

QRect ExifOrientation::toRaw(const QRect& region, const QSize& rawSize) const
{
    const QPoint a = toRaw(region.topLeft(), rawSize), b = toRaw(region.bottomRight(), rawSize);
    return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                 QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
}

QImage ExifOrientation::apply(const QImage& raw) const
{
    const QTransform quarter = QTransform().rotate(90);
    const QTransform threeQuarters = QTransform().rotate(270);
    switch (m_value) {
    case 2: return raw.mirrored(true, false);
    case 3: return raw.mirrored(true, true);
    case 4: return raw.mirrored(false, true);
    case 5: return raw.transformed(quarter).mirrored(true, false);
    case 6: return raw.transformed(quarter);
    case 7: return raw.transformed(threeQuarters).mirrored(true, false);
    case 8: return raw.transformed(threeQuarters);
    default: return raw;
    }
}
