// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/imaging/fixtures.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <QtEndian>

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

namespace {

void append16be(QByteArray& out, int value)
{
    out.append(char(value >> 8)).append(char(value));
}

void append32be(QByteArray& out, quint32 value)
{
    append16be(out, int(value >> 16));
    append16be(out, int(value & 0xFFFF));
}

// A JPEG bit stream: bits most significant first, 0xFF bytes stuffed, flushed to a file in
// large pieces.
class BitWriter {
public:
    explicit BitWriter(QFile& file) : m_file(file) {}
    void put(quint32 bits, int count)
    {
        for (int i = count - 1; i >= 0; --i) {
            m_byte = (m_byte << 1) | ((bits >> i) & 1);
            if (++m_filled == 8)
                emitByte();
        }
    }
    void finish()
    {
        while (m_filled != 0)
            put(1, 1);
        m_file.write(m_buffer);
    }

private:
    void emitByte()
    {
        m_buffer.append(char(m_byte));
        if (m_byte == 0xFF)
            m_buffer.append('\0');
        m_byte = 0;
        m_filled = 0;
        if (m_buffer.size() > (1 << 20)) {
            m_file.write(m_buffer);
            m_buffer.clear();
        }
    }
    QFile& m_file;
    QByteArray m_buffer;
    quint32 m_byte = 0;
    int m_filled = 0;
};

// The luminance DC table of the JPEG standard's annex K.
constexpr std::array<int, 16> kDcBits = {0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0};

struct Code {
    quint32 bits;
    int length;
};

std::array<Code, 12> dcCodes()
{
    std::array<Code, 12> codes{};
    quint32 code = 0;
    int symbol = 0;
    for (int length = 1; length <= 16; ++length) {
        for (int i = 0; i < kDcBits[length - 1]; ++i)
            codes[symbol++] = {code++, length};
        code <<= 1;
    }
    return codes;
}

QByteArray blockJpegHeader(int width, int height)
{
    QByteArray out("\xFF\xD8", 2);
    out.append("\xFF\xDB", 2), append16be(out, 67), out.append('\0'), out.append(QByteArray(64, 1));
    out.append("\xFF\xC0", 2), append16be(out, 11), out.append(char(8));
    append16be(out, height), append16be(out, width);
    out.append(char(1)).append(char(1)).append(char(0x11)).append('\0');
    out.append("\xFF\xC4", 2), append16be(out, 31), out.append('\0');
    for (int bits : kDcBits)
        out.append(char(bits));
    for (int value = 0; value < 12; ++value)
        out.append(char(value));
    // An AC table with a single one-bit code: end of block.
    out.append("\xFF\xC4", 2), append16be(out, 20), out.append(char(0x10)), out.append(char(1));
    out.append(QByteArray(15, 0)), out.append('\0');
    out.append("\xFF\xDA", 2), append16be(out, 8);
    out.append(char(1)).append(char(1)).append('\0').append('\0').append(char(63)).append('\0');
    return out;
}

void appendChunk(QByteArray& out, const char* type, const QByteArray& data)
{
    append32be(out, quint32(data.size()));
    const QByteArray typed = QByteArray(type, 4) + data;
    out.append(typed);
    append32be(out, quint32(crc32(0, reinterpret_cast<const Bytef*>(typed.constData()), uInt(typed.size()))));
}

QByteArray pngIhdr(quint32 width, quint32 height)
{
    QByteArray ihdr;
    append32be(ihdr, width), append32be(ihdr, height);
    ihdr.append(char(8)).append('\0').append('\0').append('\0').append('\0');
    return ihdr;
}

// An 8-bit grey PNG of the size whose image data is `rows` (filter bytes included), however
// short of the size they fall.
QByteArray greyPng(quint32 width, quint32 height, const QByteArray& rows)
{
    QByteArray out("\x89PNG\r\n\x1A\n", 8);
    appendChunk(out, "IHDR", pngIhdr(width, height));
    appendChunk(out, "IDAT", qCompress(rows).mid(4)); // zlib stream without Qt's length prefix
    appendChunk(out, "IEND", QByteArray());
    return out;
}

QByteArray onlyIcon(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "ico");
    writer.write(image);
    return bytes;
}

} // namespace

Fixtures::Fixtures() = default;

QString Fixtures::path(const QString& name) const
{
    return m_dir.filePath(name);
}

QString Fixtures::write(const QString& name, const QByteArray& bytes) const
{
    QFile file(path(name));
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return file.fileName();
}

QString Fixtures::writeImage(const QString& name, const QImage& image, const char* format) const
{
    QImageWriter writer(path(name), format);
    writer.setQuality(95);
    writer.write(image);
    return path(name);
}

QImage Fixtures::quadrants(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    const int halfWidth = width / 2, halfHeight = height / 2;
    painter.fillRect(0, 0, halfWidth, halfHeight, Qt::red);
    painter.fillRect(halfWidth, 0, width - halfWidth, halfHeight, Qt::green);
    painter.fillRect(0, halfHeight, halfWidth, height - halfHeight, Qt::blue);
    painter.fillRect(halfWidth, halfHeight, width - halfWidth, height - halfHeight, Qt::white);
    return image;
}

QByteArray Fixtures::twoFrameGif()
{
    const char bytes[] = "GIF89a\x02\x00\x01\x00\x80\x00\x00"
                         "\xFF\x00\x00\x00\x00\xFF"
                         "\x2C\x00\x00\x00\x00\x02\x00\x01\x00\x00\x02\x02\x44\x0A\x00"
                         "\x2C\x00\x00\x00\x00\x02\x00\x01\x00\x00\x02\x02\x0C\x0A\x00"
                         "\x3B";
    return QByteArray(bytes, sizeof bytes - 1);
}

QByteArray Fixtures::iconFile(const QList<QImage>& images, int type)
{
    QByteArray directory, data;
    directory.append('\0').append('\0').append(char(type)).append('\0');
    directory.append(char(images.size())).append('\0');
    const int dataStart = 6 + 16 * int(images.size());
    for (const QImage& image : images) {
        const QByteArray single = onlyIcon(image);
        const quint32 size = qFromLittleEndian<quint32>(single.constData() + 6 + 8);
        const quint32 offset = qFromLittleEndian<quint32>(single.constData() + 6 + 12);
        QByteArray entry = single.mid(6, 16);
        qToLittleEndian<quint32>(quint32(dataStart + data.size()), entry.data() + 12);
        directory.append(entry);
        data.append(single.mid(int(offset), int(size)));
    }
    return directory + data;
}

QByteArray Fixtures::withExifOrientation(const QByteArray& jpeg, int orientation)
{
    QByteArray tiff("II\x2A\x00\x08\x00\x00\x00", 8);
    tiff.append("\x01\x00", 2);                                       // one entry
    tiff.append("\x12\x01\x03\x00\x01\x00\x00\x00", 8);               // Orientation, SHORT, 1
    tiff.append(char(orientation)).append(QByteArray(3, 0));          // value
    tiff.append(QByteArray(4, 0));                                    // no next IFD
    QByteArray segment("\xFF\xE1", 2);
    append16be(segment, 2 + 6 + int(tiff.size()));
    segment.append(QByteArray("Exif\0\0", 6)).append(tiff);
    return jpeg.left(2) + segment + jpeg.mid(2);
}

void Fixtures::writeBlockJpeg(const QString& path, int width, int height,
                              const std::function<int(int, int)>& blockValue)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(blockJpegHeader(width, height));
    const std::array<Code, 12> codes = dcCodes();
    BitWriter bits(file);
    int previous = 0;
    for (int by = 0; by < (height + 7) / 8; ++by)
        for (int bx = 0; bx < (width + 7) / 8; ++bx) {
            const int value = blockValue(bx, by);
            const int diff = value - previous;
            previous = value;
            const int magnitude = std::abs(diff);
            const int category = magnitude ? 32 - __builtin_clz(unsigned(magnitude)) : 0;
            bits.put(codes[category].bits, codes[category].length);
            if (category)
                bits.put(quint32(diff > 0 ? diff : diff + (1 << category) - 1), category);
            bits.put(0, 1); // end of block
        }
    bits.finish();
    file.write("\xFF\xD9", 2);
}

QByteArray Fixtures::jpegBytes(const QImage& image, bool progressive)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(95);
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return bytes;
}

QByteArray Fixtures::jpegClaiming(int width, int height, bool progressive)
{
    QByteArray bytes;
    if (progressive) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "jpeg");
        writer.setProgressiveScanWrite(true);
        writer.write(quadrants(16, 16));
    } else {
        QTemporaryDir dir;
        const QString path = dir.filePath("small.jpg");
        writeBlockJpeg(path, 16, 16, [](int, int) { return 0; });
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        bytes = file.readAll();
    }
    const int frame = int(bytes.indexOf(progressive ? "\xFF\xC2" : "\xFF\xC0"));
    bytes[frame + 5] = char(height >> 8), bytes[frame + 6] = char(height);
    bytes[frame + 7] = char(width >> 8), bytes[frame + 8] = char(width);
    return bytes;
}

QByteArray Fixtures::tiffClaiming(quint32 width, quint32 height, quint16 samplesPerPixel)
{
    struct Entry {
        quint16 tag, type;
        quint32 value;
    };
    constexpr quint16 kShort = 3, kLong = 4;
    constexpr quint32 kDirectory = 8, kEntries = 10, kData = kDirectory + 2 + kEntries * 12 + 4;
    const QByteArray strip("\xF9\x00", 2); // PackBits: 0 repeated 8 times
    const Entry entries[kEntries] = {
        {256, kLong, width},           {257, kLong, height},   {258, kShort, 8},
        {259, kShort, 32773},          {262, kShort, 1},       {273, kLong, kData},
        {277, kShort, samplesPerPixel}, {278, kLong, height},  {279, kLong, quint32(strip.size())},
        {284, kShort, 1},
    };
    QByteArray out("II*\0", 4);
    auto u16 = [&out](quint16 v) { out.append(char(v)).append(char(v >> 8)); };
    auto u32 = [&out](quint32 v) { for (int i = 0; i < 4; ++i) out.append(char(v >> (8 * i))); };
    u32(kDirectory);
    u16(kEntries);
    for (const Entry& entry : entries) {
        u16(entry.tag), u16(entry.type), u32(1);
        entry.type == kShort ? (u16(quint16(entry.value)), u16(0)) : u32(entry.value);
    }
    u32(0);
    return out + strip;
}

QByteArray Fixtures::pngHeaderOnly(quint32 width, quint32 height)
{
    return greyPng(width, height, QByteArray(16, 0));
}

QByteArray Fixtures::gifClaiming(quint16 width, quint16 height)
{
    QByteArray out("GIF89a", 6);
    auto u16 = [&out](quint16 v) { out.append(char(v)).append(char(v >> 8)); };
    u16(width), u16(height);
    out.append("\x80\x00\x00", 3);               // a global table of two colours
    out.append("\xFF\xFF\xFF\x00\x00\x00", 6);
    out.append(char(0x2C)), u16(0), u16(0), u16(width), u16(height), out.append('\0');
    out.append("\x02\x02\x44\x0A\x00\x3B", 6);  // two pixels of LZW data, then the end
    return out;
}

QByteArray Fixtures::bmpClaiming(qint32 width, qint32 height)
{
    QByteArray out(54, '\0');
    char* bytes = out.data();
    bytes[0] = 'B', bytes[1] = 'M';
    qToLittleEndian<quint32>(54 + 16, bytes + 2);
    qToLittleEndian<quint32>(54, bytes + 10);
    qToLittleEndian<quint32>(40, bytes + 14);
    qToLittleEndian<qint32>(width, bytes + 18);
    qToLittleEndian<qint32>(height, bytes + 22);
    qToLittleEndian<quint16>(1, bytes + 26);
    qToLittleEndian<quint16>(24, bytes + 28);
    return out + QByteArray(16, char(0x7F));
}

QByteArray Fixtures::iconClaiming(quint32 width, quint32 height, bool png, int type)
{
    // Black pixels, complete for a small picture; a large one gets the first megabyte of them.
    constexpr quint64 kMaxDataBytes = 1 << 20;
    QByteArray image;
    if (png) {
        const quint64 rowBytes = 1 + quint64(width);
        const QByteArray rows(int(std::min<quint64>(rowBytes * height, kMaxDataBytes / rowBytes * rowBytes)), '\0');
        image = greyPng(width, height, rows);
    } else {
        image = QByteArray(40, '\0');  // the DIB of an icon counts the mask in its height
        qToLittleEndian<quint32>(40, image.data());
        qToLittleEndian<quint32>(width, image.data() + 4);
        qToLittleEndian<quint32>(height * 2, image.data() + 8);
        qToLittleEndian<quint16>(1, image.data() + 12);
        qToLittleEndian<quint16>(32, image.data() + 14);
        const quint64 pixelAndMaskBytes = (quint64(width) * 4 + (quint64(width) + 31) / 32 * 4) * height;
        image.append(QByteArray(int(std::min(pixelAndMaskBytes, kMaxDataBytes)), '\0'));
    }
    QByteArray out(6 + 16, '\0');
    char* bytes = out.data();
    bytes[2] = char(type), bytes[4] = 1;
    qToLittleEndian<quint16>(1, bytes + 6 + 4);
    qToLittleEndian<quint16>(32, bytes + 6 + 6);
    qToLittleEndian<quint32>(quint32(image.size()), bytes + 6 + 8);
    qToLittleEndian<quint32>(6 + 16, bytes + 6 + 12);
    return out + image;
}

void Fixtures::writeGreyPng(const QString& path, int width, int height, int brightColumns, int brightRows)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    QByteArray head("\x89PNG\r\n\x1A\n", 8);
    appendChunk(head, "IHDR", pngIhdr(quint32(width), quint32(height)));
    file.write(head);
    z_stream zip{};
    deflateInit(&zip, 1);
    std::vector<unsigned char> row(std::size_t(width) + 1), out(1 << 20);
    for (int y = 0; y < height; ++y) {
        const bool startsBand = y == 0 || y == brightRows;
        std::fill(row.begin(), row.end(), 0);
        row[0] = startsBand ? 0 : 2; // None, or Up: the same as the row above
        if (y == 0)
            std::fill(row.begin() + 1, row.begin() + 1 + brightColumns, 255);
        zip.next_in = row.data();
        zip.avail_in = uInt(row.size());
        const int flush = y == height - 1 ? Z_FINISH : Z_NO_FLUSH;
        do {
            zip.next_out = out.data();
            zip.avail_out = uInt(out.size());
            deflate(&zip, flush);
            const int produced = int(out.size() - zip.avail_out);
            if (produced > 0) {
                QByteArray chunk;
                appendChunk(chunk, "IDAT", QByteArray(reinterpret_cast<const char*>(out.data()), produced));
                file.write(chunk);
            }
        } while (zip.avail_out == 0);
    }
    deflateEnd(&zip);
    QByteArray tail;
    appendChunk(tail, "IEND", QByteArray());
    file.write(tail);
}

std::u16string wide(const QString& path)
{
    return path.toStdU16String();
}

void resetPeakRss()
{
    QFile clear("/proc/self/clear_refs");
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

long peakRssKiB()
{
    QFile status("/proc/self/status");
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

bool nearColor(QRgb actual, QRgb expected, int tolerance)
{
    return std::abs(qRed(actual) - qRed(expected)) <= tolerance && std::abs(qGreen(actual) - qGreen(expected)) <= tolerance
        && std::abs(qBlue(actual) - qBlue(expected)) <= tolerance;
}

QImage Fixtures::noisy(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    quint32 seed = 7;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            image.setPixel(x, y, seed >> 8);
        }
    return image;
}
