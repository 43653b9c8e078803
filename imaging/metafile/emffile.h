// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QSize>

#include <cstdint>
#include <optional>

// An enhanced metafile whose records have been walked and checked: its size at 96 dpi and a copy
// that a converter may play safely. Records that are malformed, name objects outside the handle
// table, carry bitmaps far larger than their data or give text as glyph numbers are left out; past
// metafile::kMaxRecords records the file is cut off. The copy always ends with EMR_EOF, its
// header counts match and it has no description.
//
// The size comes from rclFrame (0.01 mm) at 96 dpi, as the picture's intended physical size;
// rclBounds (device pixels, inclusive) is used only when the frame is empty.
class EmfFile {
public:
    static std::optional<EmfFile> parse(const QByteArray& data);

    // Empty when the header names no usable size.
    QSize size() const { return m_size; }
    // Pixel count the header claims, kept apart from size() so that huge claims can be refused.
    std::int64_t claimedPixels() const { return m_claimedPixels; }
    const QByteArray& playable() const { return m_playable; }
    bool cutOff() const { return m_cutOff; }

private:
    bool readHeader(const QByteArray& data);
    void readSize(const char* header);
    void walkRecords(const QByteArray& data);
    bool acceptable(const char* record) const;
    bool objectIndexValid(const char* record) const;
    bool bitmapsBounded(const char* record) const;
    void finish();

    QSize m_size;
    std::int64_t m_claimedPixels = 0;
    std::uint32_t m_handles = 0;
    int m_records = 0;
    QByteArray m_playable;
    bool m_cutOff = false;
};
