// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Record layouts of Windows metafiles (WMF and EMF) that the decoder reads before handing a file to
// its converter, and the bounds it keeps every file within.

#include "imaging/pixelbudget.h"

#include <QSize>
#include <QtEndian>

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace metafile {

inline std::uint16_t readU16(const char* p) { return qFromLittleEndian<std::uint16_t>(p); }
inline std::uint32_t readU32(const char* p) { return qFromLittleEndian<std::uint32_t>(p); }
inline std::int16_t readS16(const char* p) { return qFromLittleEndian<std::int16_t>(p); }
inline std::int32_t readS32(const char* p) { return qFromLittleEndian<std::int32_t>(p); }
inline void writeU16(char* p, std::uint16_t v) { qToLittleEndian(v, p); }
inline void writeU32(char* p, std::uint32_t v) { qToLittleEndian(v, p); }

// Bounds on what one metafile may cost.
constexpr std::int64_t kMaxPixels = kImagePixelBudget;  // the image budget
constexpr int kMaxRecords = 100000;                     // records past this are cut off
constexpr qsizetype kMaxFileBytes = 256 << 20;
constexpr std::size_t kMaxSvgBytes = 32u << 20;         // converter output
constexpr std::size_t kMaxConverterHeap = 40u << 20;    // libwmf's own allocations
constexpr int kMaxPlayMilliseconds = 4000;              // libwmf playback, scan and play together
constexpr std::int64_t kMaxFreeBitmapPixels = 1 << 22;  // embedded bitmap that may exceed its data
constexpr int kPixelsPerInch = 96;

// Shapes reaching further than this from a canvas of `size` are left out (see SvgExtentFilter).
inline double geometryLimit(QSize size) { return 8.0 * std::max(size.width(), size.height()) + 1024; }

// WMF: placeable header, standard header, records of 16-bit words.
constexpr std::uint32_t kWmfPlaceableKey = 0x9AC6CDD7;  // Key
constexpr int kWmfPlaceableSize = 22;
constexpr int kWmfHeaderSize = 18;                       // 9 words
constexpr int kWmfRecordMinWords = 3;                    // RecordSize (2 words) + RecordFunction
constexpr std::uint16_t META_EOF = 0x0000;
constexpr std::uint16_t META_SETMAPMODE = 0x0103;
constexpr std::uint16_t META_SETWINDOWEXT = 0x020C;
constexpr std::uint16_t META_CREATEBRUSHINDIRECT = 0x02FC;
constexpr std::uint16_t META_DIBCREATEPATTERNBRUSH = 0x0142;
constexpr std::uint16_t META_DIBBITBLT = 0x0940;
constexpr std::uint16_t META_DIBSTRETCHBLT = 0x0B41;
constexpr std::uint16_t META_SETDIBTODEV = 0x0D33;
constexpr std::uint16_t META_STRETCHDIB = 0x0F43;
constexpr std::uint16_t BS_NULL = 1;

constexpr std::uint16_t MM_TEXT = 1;
constexpr std::uint16_t MM_LOMETRIC = 2;
constexpr std::uint16_t MM_HIMETRIC = 3;
constexpr std::uint16_t MM_LOENGLISH = 4;
constexpr std::uint16_t MM_HIENGLISH = 5;
constexpr std::uint16_t MM_TWIPS = 6;

// EMF: records of 32-bit words, the first one the header.
constexpr std::uint32_t EMR_HEADER = 1;
constexpr std::uint32_t EMR_EOF = 14;
constexpr std::uint32_t kEmfSignature = 0x464D4520;      // " EMF"
constexpr int kEmfHeaderMinSize = 88;
constexpr int kEmfEofSize = 20;
constexpr std::uint32_t kEmfStockObject = 0x80000000;
constexpr int kBitmapInfoHeaderSize = 40;
constexpr std::uint32_t BI_RGB = 0;
constexpr std::uint32_t BI_BITFIELDS = 3;

// Offsets inside EMR_HEADER.
constexpr int kEmfBounds = 8;          // rclBounds
constexpr int kEmfFrame = 24;          // rclFrame
constexpr int kEmfSignatureAt = 40;    // dSignature
constexpr int kEmfBytesAt = 48;        // nBytes
constexpr int kEmfRecordsAt = 52;      // nRecords
constexpr int kEmfHandlesAt = 56;      // nHandles
constexpr int kEmfDescriptionCountAt = 60;  // nDescription
constexpr int kEmfDescriptionAt = 64;   // offDescription
constexpr int kEmfPaletteEntriesAt = 68;  // nPalEntries

}  // namespace metafile
