// SPDX-License-Identifier: GPL-2.0-or-later
#include "imaging/metafile/emffile.h"

#include "imaging/metafile/metafileformat.h"

#include <uemf.h>
#include <uemf_safe.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <cstddef>
#include <cstdlib>

using namespace metafile;

namespace {

std::uint32_t recordType(const char* record) { return readU32(record); }
std::uint32_t recordSize(const char* record) { return readU32(record + 4); }

std::int64_t hundredthsOfMillimetreToPixels(std::int64_t length)
{
    return std::llround(double(length) * kPixelsPerInch / 2540.0);
}

// Where the offBmi, cbBmi, offBits, cbBits quadruples of a bitmap record sit; -1 when absent.
struct BitmapFields {
    int source = -1;
    int mask = -1;
};

BitmapFields bitmapFields(std::uint32_t type)
{
    switch (type) {
    case U_EMR_BITBLT: return {offsetof(U_EMRBITBLT, offBmiSrc)};
    case U_EMR_STRETCHBLT: return {offsetof(U_EMRSTRETCHBLT, offBmiSrc)};
    case U_EMR_MASKBLT: return {offsetof(U_EMRMASKBLT, offBmiSrc), offsetof(U_EMRMASKBLT, offBmiMask)};
    case U_EMR_PLGBLT: return {offsetof(U_EMRPLGBLT, offBmiSrc), offsetof(U_EMRPLGBLT, offBmiMask)};
    case U_EMR_SETDIBITSTODEVICE: return {offsetof(U_EMRSETDIBITSTODEVICE, offBmiSrc)};
    case U_EMR_STRETCHDIBITS: return {offsetof(U_EMRSTRETCHDIBITS, offBmiSrc)};
    case U_EMR_ALPHABLEND: return {offsetof(U_EMRALPHABLEND, offBmiSrc)};
    case U_EMR_TRANSPARENTBLT: return {offsetof(U_EMRTRANSPARENTBLT, offBmiSrc)};
    case U_EMR_CREATEMONOBRUSH: return {offsetof(U_EMRCREATEMONOBRUSH, offBmi)};
    case U_EMR_CREATEDIBPATTERNBRUSHPT: return {offsetof(U_EMRCREATEDIBPATTERNBRUSHPT, offBmi)};
    case U_EMR_EXTCREATEPEN: return {offsetof(U_EMREXTCREATEPEN, offBmi)};
    default: return {};
    }
}

// A bitmap may expand to at most a few million pixels beyond one pixel per bit of its data.
bool bitmapBounded(const char* record, int fields)
{
    if (fields < 0)
        return true;
    const std::uint32_t size = recordSize(record);
    if (std::uint32_t(fields) + 16 > size)
        return false;
    const std::uint32_t offBmi = readU32(record + fields);
    const std::uint32_t cbBmi = readU32(record + fields + 4);
    const std::uint32_t cbBits = readU32(record + fields + 12);
    if (cbBmi == 0)
        return true;
    if (offBmi > size || size - offBmi < std::uint32_t(kBitmapInfoHeaderSize))
        return false;
    const std::int64_t width = std::llabs(readS32(record + offBmi + 4));    // biWidth
    const std::int64_t height = std::llabs(readS32(record + offBmi + 8));   // biHeight
    return width * height <= std::max<std::int64_t>(kMaxFreeBitmapPixels, std::int64_t(cbBits) * 8);
}

// Types the record checker cannot vouch for (it lets them pass with a warning): left out.
bool uncheckable(std::uint32_t type)
{
    static constexpr std::uint32_t types[] = {69, 96, 97, 102, 103, 105, 106, 107, 109, 110,
                                              111, 112, 113, 117, 119, 120, 121};
    return std::find(std::begin(types), std::end(types), type) != std::end(types);
}

enum class ObjectUse { None, Creates, Refers };

ObjectUse objectUse(std::uint32_t type)
{
    switch (type) {
    case U_EMR_CREATEPEN:
    case U_EMR_CREATEBRUSHINDIRECT:
    case U_EMR_CREATEPALETTE:
    case U_EMR_EXTCREATEFONTINDIRECTW:
    case U_EMR_CREATEMONOBRUSH:
    case U_EMR_CREATEDIBPATTERNBRUSHPT:
    case U_EMR_EXTCREATEPEN:
    case U_EMR_CREATECOLORSPACE:
    case U_EMR_CREATECOLORSPACEW:
        return ObjectUse::Creates;
    case U_EMR_SELECTOBJECT:
    case U_EMR_DELETEOBJECT:
    case U_EMR_SELECTPALETTE:
    case U_EMR_SETPALETTEENTRIES:
    case U_EMR_RESIZEPALETTE:
    case U_EMR_SETCOLORSPACE:
    case U_EMR_DELETECOLORSPACE:
        return ObjectUse::Refers;
    default:
        return ObjectUse::None;
    }
}

// Text given as glyph numbers of its font (ETO_GLYPH_INDEX). The converter maps them back to
// characters through fontconfig and then shuts fontconfig down (FcFini) while Qt still holds it, so
// that a later file aborts the program; it also reads its glyph table before checking the number.
// Such text is left out: the glyphs belong to a font this machine may not even have.
bool glyphNumberText(const char* record)
{
    const std::uint32_t type = recordType(record);
    if (type != U_EMR_EXTTEXTOUTA && type != U_EMR_EXTTEXTOUTW)
        return false;
    constexpr std::size_t optionsAt = offsetof(U_EMREXTTEXTOUTW, emrtext) + offsetof(U_EMRTEXT, fOptions);
    return recordSize(record) < optionsAt + 4 || (readU32(record + optionsAt) & U_ETO_GLYPH_INDEX) != 0;
}

}  // namespace

std::optional<EmfFile> EmfFile::parse(const QByteArray& data)
{
    EmfFile file;
    if (!file.readHeader(data))
        return std::nullopt;
    file.walkRecords(data);
    file.finish();
    return file;
}

bool EmfFile::readHeader(const QByteArray& data)
{
    if (data.size() < kEmfHeaderMinSize)
        return false;
    const char* header = data.constData();
    const std::uint32_t size = recordSize(header);
    if (recordType(header) != U_EMR_HEADER || size < std::uint32_t(kEmfHeaderMinSize) || size % 4 != 0
        || size > std::uint32_t(data.size()) || readU32(header + kEmfSignatureAt) != kEmfSignature
        || !U_emf_record_safe(header))
        return false;
    m_handles = readU16(header + kEmfHandlesAt);
    readSize(header);
    m_playable = data.left(qsizetype(size));
    m_records = 1;
    return true;
}

void EmfFile::readSize(const char* header)
{
    const char* frame = header + kEmfFrame;
    std::int64_t width = hundredthsOfMillimetreToPixels(std::int64_t(readS32(frame + 8)) - readS32(frame));
    std::int64_t height = hundredthsOfMillimetreToPixels(std::int64_t(readS32(frame + 12)) - readS32(frame + 4));
    if (width <= 0 || height <= 0) {
        const char* bounds = header + kEmfBounds;
        width = std::int64_t(readS32(bounds + 8)) - readS32(bounds) + 1;
        height = std::int64_t(readS32(bounds + 12)) - readS32(bounds + 4) + 1;
    }
    if (width <= 0 || height <= 0)
        return;
    m_claimedPixels = width * height;
    if (m_claimedPixels <= kMaxPixels)
        m_size = QSize(int(width), int(height));
}

void EmfFile::walkRecords(const QByteArray& data)
{
    qsizetype offset = m_playable.size();
    for (int walked = 1; data.size() - offset >= 8; ++walked) {
        const char* record = data.constData() + offset;
        const std::uint32_t size = recordSize(record);
        if (size < 8 || size % 4 != 0 || size > std::uint64_t(data.size() - offset)
            || recordType(record) == U_EMR_EOF)
            return;
        if (walked == kMaxRecords - 1) {
            m_cutOff = true;
            return;
        }
        if (acceptable(record)) {
            m_playable.append(record, qsizetype(size));
            ++m_records;
        }
        offset += size;
    }
}

bool EmfFile::acceptable(const char* record) const
{
    const std::uint32_t type = recordType(record);
    return type > U_EMR_HEADER && type <= U_EMR_MAX && !uncheckable(type) && U_emf_record_safe(record)
           && !glyphNumberText(record) && objectIndexValid(record)
           && bitmapsBounded(record);
}

bool EmfFile::objectIndexValid(const char* record) const
{
    const ObjectUse use = objectUse(recordType(record));
    if (use == ObjectUse::None)
        return true;
    if (recordSize(record) < 12)
        return false;
    const std::uint32_t index = readU32(record + 8);
    if (use == ObjectUse::Refers && (index & kEmfStockObject))
        return true;
    return index < m_handles && (use == ObjectUse::Refers || index > 0);
}

bool EmfFile::bitmapsBounded(const char* record) const
{
    const BitmapFields fields = bitmapFields(recordType(record));
    return bitmapBounded(record, fields.source) && bitmapBounded(record, fields.mask);
}

void EmfFile::finish()
{
    char eof[kEmfEofSize];
    writeU32(eof, U_EMR_EOF);
    writeU32(eof + 4, kEmfEofSize);
    writeU32(eof + 8, 0);             // nPalEntries
    writeU32(eof + 12, 16);           // offPalEntries
    writeU32(eof + 16, kEmfEofSize);  // nSizeLast
    m_playable.append(eof, kEmfEofSize);
    ++m_records;
    char* header = m_playable.data();
    writeU32(header + kEmfBytesAt, std::uint32_t(m_playable.size()));
    writeU32(header + kEmfRecordsAt, std::uint32_t(m_records));
    writeU32(header + kEmfPaletteEntriesAt, 0);
    // The description draws nothing, and the converter reads it up to a terminator it never
    // bounds by the file (the fuzzer saw it read past the end), so the copy carries none.
    writeU32(header + kEmfDescriptionCountAt, 0);
    writeU32(header + kEmfDescriptionAt, 0);
}
