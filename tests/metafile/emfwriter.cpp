// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/metafile/emfwriter.h"

#include <QtEndian>

namespace {

void putU32(QByteArray* out, std::uint32_t value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out->append(bytes, 4);
}

// RECTL, inclusive on both ends as GDI writes it.
void putRect(QByteArray* out, QRect r)
{
    for (int v : {r.left(), r.top(), r.right(), r.bottom()})
        putU32(out, std::uint32_t(v));
}

}  // namespace

EmfWriter::EmfWriter(QRect bounds, QRect frame, int handles)
    : m_bounds(bounds), m_frame(frame), m_handles(handles)
{
}

std::uint32_t EmfWriter::colorRef(QRgb colour)
{
    return std::uint32_t(qRed(colour) | qGreen(colour) << 8 | qBlue(colour) << 16);
}

EmfWriter& EmfWriter::record(std::uint32_t type, std::initializer_list<std::uint32_t> parameters)
{
    putU32(&m_recordBytes, type);
    putU32(&m_recordBytes, std::uint32_t(8 + 4 * parameters.size()));
    for (std::uint32_t p : parameters)
        putU32(&m_recordBytes, p);
    ++m_records;
    return *this;
}

EmfWriter& EmfWriter::repeat(int count, std::uint32_t type, std::initializer_list<std::uint32_t> parameters)
{
    for (int i = 0; i < count; ++i)
        record(type, parameters);
    return *this;
}

EmfWriter& EmfWriter::filledRectangle(QRect rect, QRgb colour, std::uint32_t handle)
{
    record(kCreateBrushIndirect, {handle, 0 /* BS_SOLID */, colorRef(colour), 0});
    record(kSelectObject, {handle});
    record(kSelectObject, {kNullPen});
    return record(kRectangle, {std::uint32_t(rect.left()), std::uint32_t(rect.top()),
                               std::uint32_t(rect.left() + rect.width()), std::uint32_t(rect.top() + rect.height())});
}

QByteArray EmfWriter::bytes() const
{
    constexpr std::uint32_t headerSize = 88;
    constexpr std::uint32_t eofSize = 20;
    QByteArray out;
    putU32(&out, 1);  // EMR_HEADER
    putU32(&out, headerSize);
    putRect(&out, m_bounds);
    putRect(&out, m_frame);
    putU32(&out, 0x464D4520);  // dSignature
    putU32(&out, 0x10000);     // nVersion
    putU32(&out, std::uint32_t(headerSize + m_recordBytes.size() + eofSize));
    putU32(&out, std::uint32_t(m_records + 2));
    putU32(&out, std::uint32_t(m_handles));  // nHandles, sReserved
    putU32(&out, 0);     // nDescription
    putU32(&out, 0);     // offDescription
    putU32(&out, 0);     // nPalEntries
    putU32(&out, 1920);  // szlDevice
    putU32(&out, 1080);
    putU32(&out, 508);   // szlMillimeters
    putU32(&out, 286);
    out += m_recordBytes;
    for (std::uint32_t v : {14u, eofSize, 0u, 16u, eofSize})  // EMR_EOF
        putU32(&out, v);
    return out;
}
