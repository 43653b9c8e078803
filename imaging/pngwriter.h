// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// libpng's writer into bytes in memory, with its errors turned into return values (each
// operation plants its own recovery point, as PngReader does). It writes 8-bit RGB, or RGBA
// for pictures with an alpha channel, non-interlaced, with Latin-1 text chunks ahead of the
// pixels.

#include <QByteArray>
#include <QList>
#include <QPair>

#include <png.h>

class QImage;

class PngWriter {
public:
    PngWriter();
    ~PngWriter();
    PngWriter(const PngWriter&) = delete;
    PngWriter& operator=(const PngWriter&) = delete;

    // The PNG of `image` carrying `texts` (key, text) as tEXt chunks; empty on failure.
    static QByteArray encode(const QImage& image, const QList<QPair<QByteArray, QByteArray>>& texts);

private:
    bool writeHeader(int width, int height, bool alpha, png_textp texts, int textCount);
    bool writeRow(const unsigned char* row);
    bool writeEnd();

    static void writeData(png_structp png, png_bytep data, png_size_t length);
    static void flushData(png_structp png);
    static void onError(png_structp png, png_const_charp message);
    static void onWarning(png_structp png, png_const_charp message);

    QByteArray m_out;
    png_structp m_png = nullptr;
    png_infop m_info = nullptr;
    bool m_failed = false;
};
