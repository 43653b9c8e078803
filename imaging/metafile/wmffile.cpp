#include "imaging/metafile/wmffile.h"

#include "imaging/metafile/metafileformat.h"

#include <cmath>
#include <cstdlib>

using namespace metafile;

struct WmfFile::Walk {
    int end = 0;              // offset just past the last record kept
    bool endedByEof = false;
    std::uint32_t maxRecordWords = kWmfRecordMinWords;
    int mapMode = MM_TEXT;
    int extentX = 0;
    int extentY = 0;
};

namespace {

int toPixels(double units, double unitsPerInch)
{
    return int(std::lround(std::abs(units) * kPixelsPerInch / unitsPerInch));
}

}  // namespace

std::optional<WmfFile> WmfFile::parse(const QByteArray& data)
{
    WmfFile file;
    int offset = 0;
    const bool placeable = file.readPlaceable(data, &offset);
    if (!validHeader(data, offset))
        return std::nullopt;
    const Walk walk = file.walkRecords(data, offset + kWmfHeaderSize);
    if (!placeable && walk.extentX != 0 && walk.extentY != 0)
        file.m_size = windowExtentInPixels(walk.extentX, walk.extentY, walk.mapMode);
    file.buildPlayable(data, offset, walk);
    return file;
}

bool WmfFile::readPlaceable(const QByteArray& data, int* offset)
{
    if (data.size() < kWmfPlaceableSize || readU32(data.constData()) != kWmfPlaceableKey)
        return false;
    const char* p = data.constData();
    const int width = std::abs(readS16(p + 10) - readS16(p + 6));   // Right - Left
    const int height = std::abs(readS16(p + 12) - readS16(p + 8));  // Bottom - Top
    const int inch = readU16(p + 14);
    if (inch != 0)
        m_size = QSize(toPixels(width, inch), toPixels(height, inch));
    *offset = kWmfPlaceableSize;
    return true;
}

bool WmfFile::validHeader(const QByteArray& data, int offset)
{
    if (data.size() - offset < kWmfHeaderSize)
        return false;
    const char* p = data.constData() + offset;
    const std::uint16_t type = readU16(p);             // Type: memory or disk
    const std::uint16_t headerWords = readU16(p + 2);  // HeaderSize
    return (type == 1 || type == 2) && headerWords == kWmfHeaderSize / 2;
}

WmfFile::Walk WmfFile::walkRecords(const QByteArray& data, int offset)
{
    Walk walk;
    walk.end = offset;
    const char* p = data.constData();
    for (int count = 0; data.size() - walk.end >= 6; ++count) {
        if (count == kMaxRecords) {
            m_cutOff = true;
            break;
        }
        const char* record = p + walk.end;
        const std::uint32_t words = readU32(record);      // RecordSize
        const std::uint16_t function = readU16(record + 4);  // RecordFunction
        if (words < kWmfRecordMinWords || words > std::uint32_t(data.size() - walk.end) / 2)
            break;
        walk.end += int(words * 2);
        walk.maxRecordWords = std::max(walk.maxRecordWords, words);
        if (function == META_EOF) {
            walk.endedByEof = true;
            break;
        }
        if (function == META_SETMAPMODE && words >= 4)
            walk.mapMode = readU16(record + 6);
        if (function == META_SETWINDOWEXT && words >= 5 && walk.extentX == 0) {
            walk.extentY = readS16(record + 6);
            walk.extentX = readS16(record + 8);
        }
    }
    return walk;
}

void WmfFile::buildPlayable(const QByteArray& data, int headerOffset, const Walk& walk)
{
    static const char eofRecord[6] = {3, 0, 0, 0, 0, 0};
    m_playable = data.left(walk.end);
    if (!walk.endedByEof)
        m_playable.append(eofRecord, sizeof eofRecord);
    char* header = m_playable.data() + headerOffset;
    if (headerOffset == kWmfPlaceableSize && readU16(m_playable.constData() + 14) == 0)
        writeU16(m_playable.data() + 14, 1440);  // Inch: a zero would divide by zero in the player
    writeU32(header + 6, std::uint32_t((m_playable.size() - headerOffset) / 2));  // Size
    writeU32(header + 12, walk.maxRecordWords);                                  // MaxRecord
}

QSize WmfFile::windowExtentInPixels(int width, int height, int mapMode)
{
    double unitsPerInch = kPixelsPerInch;
    switch (mapMode) {
    case MM_LOMETRIC: unitsPerInch = 254.0; break;
    case MM_HIMETRIC: unitsPerInch = 2540.0; break;
    case MM_LOENGLISH: unitsPerInch = 100.0; break;
    case MM_HIENGLISH: unitsPerInch = 1000.0; break;
    case MM_TWIPS: unitsPerInch = 1440.0; break;
    default: break;  // MM_TEXT, MM_ISOTROPIC, MM_ANISOTROPIC: one unit per pixel
    }
    return QSize(toPixels(width, unitsPerInch), toPixels(height, unitsPerInch));
}
