// SPDX-License-Identifier: GPL-2.0-or-later
#include "imaging/pngwriter.h"

#include <QImage>
#include <QtEndian>

#include <libdeflate.h>

#include <algorithm>
#include <memory>
#include <new>

namespace {

constexpr char kSignature[] = "\x89PNG\r\n\x1A\n";
constexpr unsigned char kFilterSub = 1;

struct CompressorDeleter {
    void operator()(libdeflate_compressor* compressor) const { libdeflate_free_compressor(compressor); }
};

bool validKey(const QByteArray& key)
{
    if (key.isEmpty() || key.size() > 79 || key.startsWith(' ') || key.endsWith(' ') || key.contains("  "))
        return false;
    for (const char c : key)
        if (!((c >= 32 && c <= 126) || static_cast<unsigned char>(c) >= 161))
            return false;
    return true;
}

// Length, type, data and the CRC of type and data.
void appendChunk(QByteArray& out, const char (&type)[5], const char* data, qsizetype length)
{
    const qsizetype start = out.size();
    char length32[4];
    qToBigEndian(quint32(length), length32);
    out.append(length32, 4);
    out.append(type, 4);
    out.append(data, length);
    char crc32[4];
    qToBigEndian(quint32(libdeflate_crc32(0, out.constData() + start + 4, size_t(length) + 4)), crc32);
    out.append(crc32, 4);
}

} // namespace

QByteArray PngWriter::encode(const QImage& image, const QList<QPair<QByteArray, QByteArray>>& texts)
{
    // Opaque pictures go without their alpha: a quarter less to compress and to store.
    const bool alpha = image.hasAlphaChannel();
    const QImage rgba = image.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    if (rgba.isNull())
        return QByteArray();
    for (const auto& [key, text] : texts)
        if (!validKey(key) || text.contains('\0'))
            return QByteArray();
    try {
        // Each row after its filter byte, each byte less the same byte of the pixel on its left:
        // as small as libpng's trial of all five filters on each row, on photos, and quicker.
        const int channels = alpha ? 4 : 3;
        const size_t rowBytes = size_t(rgba.width()) * size_t(channels);
        // Left uninitialised (make_unique_for_overwrite): every byte is written below.
        const size_t filteredBytes = size_t(rgba.height()) * (rowBytes + 1);
        const auto filtered = std::make_unique_for_overwrite<unsigned char[]>(filteredBytes);
        for (int y = 0; y < rgba.height(); ++y) {
            const unsigned char* row = rgba.constScanLine(y);
            unsigned char* out = filtered.get() + size_t(y) * (rowBytes + 1);
            *out++ = kFilterSub;
            std::copy_n(row, channels, out);
            for (size_t i = size_t(channels); i < rowBytes; ++i)
                out[i] = static_cast<unsigned char>(row[i] - row[i - size_t(channels)]);
        }
        // The quickest level: photo rows hold few repeats worth a longer search.
        const std::unique_ptr<libdeflate_compressor, CompressorDeleter> compressor(libdeflate_alloc_compressor(1));
        if (!compressor)
            return QByteArray();
        const size_t bound = libdeflate_zlib_compress_bound(compressor.get(), filteredBytes);
        const auto deflated = std::make_unique_for_overwrite<char[]>(bound);
        const size_t deflatedBytes =
            libdeflate_zlib_compress(compressor.get(), filtered.get(), filteredBytes, deflated.get(), bound);
        if (deflatedBytes == 0)
            return QByteArray();

        QByteArray png(kSignature, 8);
        char header[13];
        qToBigEndian(quint32(rgba.width()), header);
        qToBigEndian(quint32(rgba.height()), header + 4);
        header[8] = 8;                // bits a sample
        header[9] = alpha ? 6 : 2;    // RGBA or RGB
        header[10] = header[11] = header[12] = 0; // deflate, adaptive filters, not interlaced
        appendChunk(png, "IHDR", header, 13);
        for (const auto& [key, text] : texts) {
            const QByteArray chunk = key + '\0' + text;
            appendChunk(png, "tEXt", chunk.constData(), chunk.size());
        }
        appendChunk(png, "IDAT", deflated.get(), qsizetype(deflatedBytes));
        appendChunk(png, "IEND", nullptr, 0);
        return png;
    } catch (const std::bad_alloc&) {
        return QByteArray();
    }
}
