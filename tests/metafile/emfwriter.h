// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QRect>
#include <QRgb>

#include <cstdint>
#include <initializer_list>

// Writes small enhanced metafiles for the tests: EMR_HEADER with the given device bounds and
// frame (0.01 mm), records of 32-bit parameters, and EMR_EOF.
class EmfWriter {
public:
    EmfWriter(QRect bounds, QRect frame, int handles = 4);

    EmfWriter& record(std::uint32_t type, std::initializer_list<std::uint32_t> parameters);
    EmfWriter& repeat(int count, std::uint32_t type, std::initializer_list<std::uint32_t> parameters);
    // A solid brush of `colour` in handle `handle`, the stock null pen, and a filled rectangle.
    EmfWriter& filledRectangle(QRect rect, QRgb colour, std::uint32_t handle = 1);
    QByteArray bytes() const;

    static constexpr std::uint32_t kCreateBrushIndirect = 39;
    static constexpr std::uint32_t kSelectObject = 37;
    static constexpr std::uint32_t kRectangle = 43;
    static constexpr std::uint32_t kSetBkMode = 18;
    static constexpr std::uint32_t kNullPen = 0x80000008;

    static std::uint32_t colorRef(QRgb colour);

private:
    QRect m_bounds;
    QRect m_frame;
    int m_handles;
    int m_records = 0;
    QByteArray m_recordBytes;
};
