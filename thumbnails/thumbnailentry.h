// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// One PNG file of the freedesktop.org thumbnail cache and its text keys. Reading takes the bytes
// as untrusted input; writing makes the keys this program stores.

#include "platform/files/filestamp.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPair>
#include <QSize>

#include <optional>

class ThumbnailEntry {
public:
    static constexpr int kLargeSide = 256;

    // Null unless `data` is one whole non-interlaced PNG of at most `side` x `side` pixels (the
    // size of the entry's folder) whose rows all decode and which carries none of the keys below
    // twice. Text chunks are capped in number and size, so a hostile file costs no more than its
    // (bounded) bytes.
    static ThumbnailEntry decode(const QByteArray& data, int side = kLargeSide);
    // The PNG of an entry (8-bit RGB or RGBA, keys as tEXt): Thumb::URI, Thumb::MTime, Thumb::Size,
    // Software, and Thumb::Image::Width and Height when `photoSize` is valid. Empty on failure.
    static QByteArray encode(const QImage& image, const QByteArray& uri, const FileStamp& stamp,
                             const QSize& photoSize);
    // Whether `thumbnail` is the photo fitted into `side` x `side` without enlarging it, either way
    // round (the stated size may be before the EXIF rotation) and give or take a rounding pixel.
    static bool isThumbnailOf(const QSize& thumbnail, const QSize& photo, int side = kLargeSide);

    bool isNull() const { return m_image.isNull(); }
    // RGB32 when every pixel is opaque, ARGB32_Premultiplied otherwise.
    QImage image() const { return m_image; }
    // Thumb::URI is `uri` and Thumb::MTime the stamp's; Thumb::Size, checked only when present,
    // tells apart two files modified within the same second.
    bool describes(const QByteArray& uri, const FileStamp& stamp) const;
    // Whether the picture is what a fresh thumbnail would be: the folder's size on its longer side,
    // or smaller only when Thumb::Image::Width and Height say the photo itself is that small (an
    // entry made smaller than its folder's size by another program is made again instead).
    bool isFullThumbnail() const;
    // The photo's size from Thumb::Image::Width and Height; invalid when they are missing or wrong.
    QSize photoSize() const;

private:
    std::optional<QByteArray> text(const char* key) const;
    bool hasRepeatedKeys() const;

    QImage m_image;
    int m_side = kLargeSide;
    QList<QPair<QByteArray, QByteArray>> m_texts;
};
