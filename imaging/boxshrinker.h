// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Shrinks a picture by a power of two while its rows stream past, averaging each factor x factor
// block (premultiplied by alpha), so that a picture too large to hold can still be reduced.

#include <QImage>

#include <cstdint>
#include <vector>

class BoxShrinker {
public:
    // `opaque`: every alpha is 255, which spares the weighting.
    BoxShrinker(int sourceWidth, int sourceHeight, int factor, bool opaque);

    bool isNull() const { return m_result.isNull(); }
    // Rows in order, 4 bytes a pixel: B, G, R, A not premultiplied.
    void addRow(const unsigned char* row);
    // The reduced picture, Format_ARGB32_Premultiplied, once every row was added.
    QImage result() const { return m_result; }

private:
    void addOpaqueRow(const unsigned char* row);
    void addTranslucentRow(const unsigned char* row);
    void emitRow();

    int m_sourceWidth;
    int m_sourceHeight;
    int m_factor;
    int m_shift;
    bool m_opaque;
    int m_rowsAdded = 0;
    int m_rowsInBand = 0;
    int m_outputRow = 0;
    std::vector<std::uint32_t> m_sums; // B*A, G*A, R*A, A*255 for each output column
    QImage m_result;
};
