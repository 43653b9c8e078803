// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/metafile/wmfwriter.h"

#include <QtEndian>

namespace {

void putU16(QByteArray* out, std::uint16_t value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out->append(bytes, 2);
}

void putU32(QByteArray* out, std::uint32_t value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out->append(bytes, 4);
}

std::int16_t low(std::uint32_t value) { return std::int16_t(value & 0xFFFF); }
std::int16_t high(std::uint32_t value) { return std::int16_t(value >> 16); }

bool createsObject(std::uint16_t function)
{
    // META_CREATEPENINDIRECT, META_CREATEFONTINDIRECT, META_CREATEBRUSHINDIRECT,
    // META_DIBCREATEPATTERNBRUSH, META_CREATEPALETTE
    for (std::uint16_t create : {0x02FA, 0x02FB, 0x02FC, 0x0142, 0x00F7})
        if (function == create)
            return true;
    return false;
}

std::uint32_t colorRef(QRgb colour) { return qRed(colour) | qGreen(colour) << 8 | qBlue(colour) << 16; }

}  // namespace

WmfWriter& WmfWriter::placeable(QRect frame, int unitsPerInch)
{
    m_placeable.clear();
    putU32(&m_placeable, 0x9AC6CDD7);
    putU16(&m_placeable, 0);
    for (int v : {frame.left(), frame.top(), frame.left() + frame.width(), frame.top() + frame.height()})
        putU16(&m_placeable, std::uint16_t(v));
    putU16(&m_placeable, std::uint16_t(unitsPerInch));
    putU32(&m_placeable, 0);
    std::uint16_t checksum = 0;
    for (int i = 0; i < 20; i += 2)
        checksum ^= qFromLittleEndian<std::uint16_t>(m_placeable.constData() + i);
    putU16(&m_placeable, checksum);
    return *this;
}

WmfWriter& WmfWriter::record(std::uint16_t function, std::initializer_list<std::int16_t> parameters)
{
    const std::uint32_t words = 3 + std::uint32_t(parameters.size());
    putU32(&m_records, words);
    putU16(&m_records, function);
    for (std::int16_t p : parameters)
        putU16(&m_records, std::uint16_t(p));
    m_maxRecordWords = std::max(m_maxRecordWords, words);
    if (createsObject(function))
        ++m_objects;
    return *this;
}

WmfWriter& WmfWriter::repeat(int count, std::uint16_t function, std::initializer_list<std::int16_t> parameters)
{
    for (int i = 0; i < count; ++i)
        record(function, parameters);
    return *this;
}

WmfWriter& WmfWriter::filledRectangle(QRect rect, QRgb colour)
{
    const std::uint32_t ref = colorRef(colour);
    const auto brush = std::int16_t(m_objects);
    const auto pen = std::int16_t(m_objects + 1);
    record(0x02FC, {0, low(ref), high(ref), 0});         // META_CREATEBRUSHINDIRECT, BS_SOLID
    record(0x012D, {brush});                             // META_SELECTOBJECT
    record(0x02FA, {5, 0, 0, 0, 0});                     // META_CREATEPENINDIRECT, PS_NULL
    record(0x012D, {pen});                               // META_SELECTOBJECT
    return record(0x041B, {std::int16_t(rect.top() + rect.height()), std::int16_t(rect.left() + rect.width()),
                           std::int16_t(rect.top()), std::int16_t(rect.left())});  // META_RECTANGLE
}

QByteArray WmfWriter::bytes() const
{
    const QByteArray eof = QByteArray::fromHex("030000000000");
    const std::uint32_t totalWords = std::uint32_t(18 + m_records.size() + eof.size()) / 2;
    QByteArray out = m_placeable;
    putU16(&out, 1);        // Type: disk
    putU16(&out, 9);        // HeaderSize
    putU16(&out, 0x0300);   // Version
    putU32(&out, totalWords);
    putU16(&out, std::uint16_t(m_objects));
    putU32(&out, m_maxRecordWords);
    putU16(&out, 0);        // NumberOfMembers
    return out + m_records + eof;
}
