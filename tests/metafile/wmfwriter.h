// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QRect>
#include <QRgb>

#include <cstdint>
#include <initializer_list>

// Writes small Windows metafiles for the tests: an optional placeable header, the standard
// header, records given by function and 16-bit parameters, and META_EOF.
class WmfWriter {
public:
    WmfWriter& placeable(QRect frame, int unitsPerInch);
    WmfWriter& record(std::uint16_t function, std::initializer_list<std::int16_t> parameters);
    WmfWriter& repeat(int count, std::uint16_t function, std::initializer_list<std::int16_t> parameters);
    // A solid brush of `colour`, the null pen, and a rectangle filled with them.
    WmfWriter& filledRectangle(QRect rect, QRgb colour);
    QByteArray bytes() const;

    static constexpr std::uint16_t kSetWindowOrg = 0x020B;
    static constexpr std::uint16_t kSetWindowExt = 0x020C;
    static constexpr std::uint16_t kSetMapMode = 0x0103;
    static constexpr std::uint16_t kSetBkMode = 0x0102;

private:
    QByteArray m_placeable;
    QByteArray m_records;
    std::uint32_t m_maxRecordWords = 3;
    int m_objects = 0;
};
