// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// libpng's reader over bytes in memory, row by row, with its errors turned into return values
// (each operation plants its own recovery point) and kept for fault(). Rows come out as 8-bit
// B, G, R, A, not premultiplied, whatever the file's colour type and depth; or as B, G, R for a
// picture without transparency, when asked.

#include "imaging/decodefault.h"

#include <QByteArray>
#include <QList>
#include <QPair>

#include <png.h>

class PngReader {
public:
    explicit PngReader(QByteArray data);
    ~PngReader();
    PngReader(const PngReader&) = delete;
    PngReader& operator=(const PngReader&) = delete;

    // For files of unknown origin: at most `count` ancillary chunks are kept and none (a zTXt
    // text once inflated, say) grows past `bytes`; chunks over the limits are skipped.
    void limitAncillaryChunks(png_uint_32 count, png_alloc_size_t bytes);

    bool readHeader();
    int width() const { return int(m_width); }
    int height() const { return int(m_height); }
    bool isInterlaced() const { return m_interlaced; }
    bool hasAlpha() const { return m_hasAlpha; }

    // `bytesPerPixel` 3 only for a picture without alpha.
    bool startRows(int bytesPerPixel = 4);
    bool readRow(unsigned char* row); // width() x bytesPerPixel bytes
    // After the last row: the chunks after the pixels, up to the end of the file.
    bool readEnd();

    // The text chunks read so far (tEXt, zTXt, iTXt; iTXt text in UTF-8), as key and text.
    QList<QPair<QByteArray, QByteArray>> texts() const;

    // Why an operation failed: the end of the data, a want of memory, or damage in libpng's words.
    DecodeFault fault() const;

private:
    static void readData(png_structp png, png_bytep out, png_size_t length);
    static void onError(png_structp png, png_const_charp message);
    static void onWarning(png_structp png, png_const_charp message);
    static png_voidp allocate(png_structp png, png_alloc_size_t bytes);
    static void release(png_structp png, png_voidp memory);

    // Whether a chunk header read at `m_cursor` claims more data than the file holds.
    bool claimsMoreThanTheFile() const;

    QByteArray m_data;
    png_size_t m_cursor = 0;
    png_size_t m_nextChunk = 8; // after the signature
    png_structp m_png = nullptr;
    png_infop m_info = nullptr;
    png_uint_32 m_width = 0;
    png_uint_32 m_height = 0;
    bool m_interlaced = false;
    bool m_hasAlpha = false;
    bool m_failed = false;
    bool m_endedEarly = false;
    bool m_outOfMemory = false;
    char m_failure[128] = {};
};
