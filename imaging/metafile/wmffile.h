// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QSize>

#include <cstdint>
#include <optional>

// A Windows metafile whose record framing has been walked and checked: its size at 96 dpi and a
// copy that a converter may play safely (header sizes matching the records, at most
// metafile::kMaxRecords records, always ended by META_EOF).
class WmfFile {
public:
    static std::optional<WmfFile> parse(const QByteArray& data);

    // Empty when the file names no size (no placeable header and no window extent).
    QSize size() const { return m_size; }
    std::int64_t claimedPixels() const { return std::int64_t(m_size.width()) * m_size.height(); }
    const QByteArray& playable() const { return m_playable; }
    bool cutOff() const { return m_cutOff; }

private:
    struct Walk;

    bool readPlaceable(const QByteArray& data, int* offset);
    static bool validHeader(const QByteArray& data, int offset);
    Walk walkRecords(const QByteArray& data, int offset);
    void buildPlayable(const QByteArray& data, int headerOffset, const Walk& walk);
    static QSize windowExtentInPixels(int width, int height, int mapMode);

    QSize m_size;
    QByteArray m_playable;
    bool m_cutOff = false;
};
