// SPDX-License-Identifier: GPL-2.0-or-later
#include "imaging/metafile/wmffile.h"

#include "imaging/metafile/metafileformat.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

using namespace metafile;

struct WmfFile::Walk {
    QByteArray records;       // the records kept, META_EOF included when the file has one
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

// Where the device-independent bitmap of a record starts, in bytes from the record's start; 0 for
// records that carry none.
int bitmapOffset(std::uint16_t function, std::uint32_t words)
{
    switch (function) {
    case META_DIBBITBLT: return words == 12 ? 0 : 22;  // 12 words: a raster operation, no bitmap
    case META_DIBSTRETCHBLT: return 26;
    case META_SETDIBTODEV: return 24;
    case META_STRETCHDIB: return 28;
    case META_DIBCREATEPATTERNBRUSH: return 10;
    default: return 0;
    }
}

bool depthMatchesCompression(int bits, std::uint32_t compression)
{
    switch (compression) {
    case 0: return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;  // BI_RGB
    case 1: return bits == 8;                 // BI_RLE8
    case 2: return bits == 4;                 // BI_RLE4
    case 3: return bits == 16 || bits == 32;  // BI_BITFIELDS
    default: return false;
    }
}

// A bitmap libwmf reads in bounded time. Its reader skips biSize - 40 bytes one at a time, so a
// header size below 40 reads for ever; its sizes are 16-bit; and a bitmap may expand to at most a
// few million pixels beyond one pixel per bit of its data.
bool bitmapReadable(const char* dib, std::int64_t bytes)
{
    if (bytes < 12)
        return false;
    const std::uint32_t headerSize = readU32(dib);  // biSize
    std::int64_t width = 0, height = 0;
    int planes = 0, bits = 0;
    std::uint32_t compression = 0, colours = 0;
    if (headerSize == 12) {  // BITMAPCOREHEADER
        width = readU16(dib + 4);
        height = readU16(dib + 6);
        planes = readU16(dib + 8);
        bits = readU16(dib + 10);
    } else {
        if (headerSize < std::uint32_t(kBitmapInfoHeaderSize) || headerSize > 124 || headerSize > bytes)
            return false;
        width = readS32(dib + 4);                            // biWidth
        height = std::abs(std::int64_t(readS32(dib + 8)));  // biHeight
        planes = readU16(dib + 12);                          // biPlanes
        bits = readU16(dib + 14);                            // biBitCount
        compression = readU32(dib + 16);                     // biCompression
        colours = readU32(dib + 32);                         // biClrUsed
    }
    return planes == 1 && depthMatchesCompression(bits, compression) && colours <= 256 && width >= 1
           && width <= 0xFFFF && height >= 1 && height <= 0xFFFF
           && width * height <= std::max<std::int64_t>(kMaxFreeBitmapPixels, (bytes - headerSize) * 8);
}

// The record as the player gets it: itself, or nothing for a bitmap it could not read in bounded
// time. A pattern brush stands in as a hollow brush, so that later records find their objects
// where the file put them.
QByteArray playableRecord(const char* record, std::uint32_t words)
{
    const std::uint16_t function = readU16(record + 4);  // RecordFunction
    const int offset = bitmapOffset(function, words);
    const std::int64_t bytes = std::int64_t(words) * 2;
    if (offset == 0 || (offset < bytes && bitmapReadable(record + offset, bytes - offset)))
        return QByteArray(record, qsizetype(bytes));
    if (function != META_DIBCREATEPATTERNBRUSH)
        return {};
    char brush[14] = {};
    writeU32(brush, 7);                                // RecordSize
    writeU16(brush + 4, META_CREATEBRUSHINDIRECT);     // RecordFunction
    writeU16(brush + 6, BS_NULL);                      // LogBrush: BrushStyle, ColorRef, BrushHatch
    return QByteArray(brush, sizeof brush);
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
    const char* p = data.constData();
    for (int count = 0; data.size() - offset >= 6; ++count) {
        if (count == kMaxRecords) {
            m_cutOff = true;
            break;
        }
        const char* record = p + offset;
        const std::uint32_t words = readU32(record);      // RecordSize
        const std::uint16_t function = readU16(record + 4);  // RecordFunction
        if (words < kWmfRecordMinWords || words > std::uint32_t(data.size() - offset) / 2)
            break;
        offset += int(words * 2);
        const QByteArray kept = playableRecord(record, words);
        walk.records += kept;
        walk.maxRecordWords = std::max(walk.maxRecordWords, std::uint32_t(kept.size() / 2));
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
    m_playable = data.left(headerOffset + kWmfHeaderSize) + walk.records;
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
