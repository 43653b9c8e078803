// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// libjpeg's decompressor over bytes in memory, with its errors turned into return values. The
// header must end within the first 16 MiB, so that a file that never reaches its picture data
// (a header followed by anything but markers) is given up there instead of searched to its end.
// Each operation that calls into libjpeg sets its own recovery point, so a corrupt file leaves
// the decompressor failed instead of ending the process. A file that ends early still gives all
// its rows, as every viewer shows such a file: those decoded before the end, and after them what
// libjpeg makes of the missing data (blocks without coefficients, mid-grey). One that ends inside
// a table or scan header fails, with endedEarly() set. libjpeg's own words on a failure, or on
// the first damage it passed over, are kept for fault().

#include "imaging/decodefault.h"

#include <QByteArray>

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

class JpegDecompressor {
public:
    explicit JpegDecompressor(QByteArray data);
    ~JpegDecompressor();
    JpegDecompressor(const JpegDecompressor&) = delete;
    JpegDecompressor& operator=(const JpegDecompressor&) = delete;

    bool readHeader();
    int width() const { return int(m_info.image_width); }
    int height() const { return int(m_info.image_height); }
    bool isCmyk() const;
    // False when the file ends right after its header, before any compressed picture data: there
    // is nothing to show then.
    bool hasPictureData() const;
    // True once libjpeg ran out of data before the end of the picture.
    bool endedEarly() const { return m_error.endedEarly; }
    // What went wrong so far: a failure, the end of the data, or damage libjpeg passed over.
    DecodeFault fault() const;
    // A file in several scans (progressive ones) is decoded through a buffer of the DCT
    // coefficients of the whole picture, whatever the size asked for; false when that buffer would
    // pass the budget (two bytes a pixel of kImagePixelBudget, the least a picture of that size
    // needs), so that a few header bytes cannot claim gigabytes.
    bool coefficientsFitBudget();

    // Starts decoding at 1/denominator of the size (1, 2, 4 or 8) into B, G, R, 0xFF pixels, or
    // B, G, R ones when `bytesPerPixel` is 3.
    bool start(int denominator, int bytesPerPixel = 4);
    int outputWidth() const { return int(m_info.output_width); }
    int outputHeight() const { return int(m_info.output_height); }

    // Narrows the output to the columns from *left, *width wide; libjpeg may widen the range to
    // whole blocks and reports the range it took.
    bool cropColumns(int* left, int* width);
    bool skipRows(int count);
    bool readRows(unsigned char** rows, int count); // exactly `count` rows or false

private:
    struct ErrorManager {
        jpeg_error_mgr base;
        std::jmp_buf recovery;
        bool endedEarly;
        bool outOfMemory;
        char failure[JMSG_LENGTH_MAX];
        char warning[JMSG_LENGTH_MAX];
    };
    bool startFromDcScans();
    bool hasAllDcCoefficients() const;
    [[noreturn]] static void giveUp(j_common_ptr info, const char* why);
    static void onError(j_common_ptr info);
    static void onMessage(j_common_ptr info, int level);
    static void initSource(j_decompress_ptr info);
    static boolean fillInputBuffer(j_decompress_ptr info);
    static void skipInputData(j_decompress_ptr info, long count);
    static void termSource(j_decompress_ptr info);

    QByteArray m_data;
    jpeg_decompress_struct m_info{};
    ErrorManager m_error{};
    jpeg_source_mgr m_source{};
    bool m_headerWindowed = false; // only the header's window is given to libjpeg yet
    bool m_failed = false;
};
