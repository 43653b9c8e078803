// SPDX-License-Identifier: GPL-2.0-or-later
#include "imaging/pngsource.h"

#include "imaging/boxshrinker.h"
#include "imaging/imagelimits.h"
#include "imaging/pngreader.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {
constexpr int kMaxReduction = 64;

// The rows a file cut short never reached: transparent, or black in a picture without alpha.
void clearRow(unsigned char* row, int width, bool hasAlpha)
{
    std::memset(row, 0, std::size_t(width) * 4);
    if (!hasAlpha)
        for (int x = 0; x < width; ++x)
            row[std::size_t(x) * 4 + 3] = 0xFF;
}
void blackRow(unsigned char* row, int width, int bytesPerPixel)
{
    if (bytesPerPixel == 4)
        clearRow(row, width, false);
    else
        std::memset(row, 0, std::size_t(width) * std::size_t(bytesPerPixel));
}
} // namespace

PngSource::PngSource(QByteArray data, QSize size, bool opaque)
    : m_data(std::move(data))
    , m_size(size)
    , m_opaque(opaque)
{
}

std::unique_ptr<PngSource> PngSource::open(const QByteArray& data, DecodeFault* fault)
{
    PngReader png(data);
    if (!png.readHeader()) {
        *fault = png.fault();
        return nullptr;
    }
    if (png.isInterlaced())
        return nullptr;
    return std::unique_ptr<PngSource>(new PngSource(data, QSize(png.width(), png.height()), !png.hasAlpha()));
}

int PngSource::reductionFor(const QSize& atLeast) const
{
    int factor = 1;
    while (factor < kMaxReduction) {
        const int next = factor * 2;
        const QSize reduced((m_size.width() + next - 1) / next, (m_size.height() + next - 1) / next);
        if (reduced.width() < atLeast.width() || reduced.height() < atLeast.height())
            break;
        factor = next;
    }
    while (factor < kMaxReduction && !fitsPixelBudget(QSize((m_size.width() + factor - 1) / factor,
                                                            (m_size.height() + factor - 1) / factor)))
        factor *= 2;
    return factor;
}

QImage PngSource::decodeReduced(const QSize& atLeast)
{
    const int factor = reductionFor(atLeast);
    if (factor == 1)
        return decodeRegion(QRect(QPoint(0, 0), m_size));
    PngReader png(m_data);
    if (!png.readHeader() || !png.startRows()) {
        noteFailure(png);
        return QImage();
    }
    BoxShrinker shrinker(m_size.width(), m_size.height(), factor, !png.hasAlpha());
    if (shrinker.isNull()) {
        noteFailure(DecodeFault::Kind::NoResources);
        return QImage();
    }
    if (!fitsPixelBudget(shrinker.result().size())) {
        noteFailure(DecodeFault::Kind::TooLarge);
        return QImage();
    }
    std::vector<unsigned char> row(std::size_t(m_size.width()) * 4);
    bool cut = false;
    for (int y = 0; y < m_size.height(); ++y) {
        if (!cut && !png.readRow(row.data())) {
            if (y == 0) {
                noteFailure(png);
                return QImage();
            }
            cut = true;
            noteFault(png.fault());
            clearRow(row.data(), m_size.width(), png.hasAlpha());
        }
        shrinker.addRow(row.data());
    }
    return shrinker.result();
}

QImage PngSource::decodeRegion(const QRect& region)
{
    if (!fitsPixelBudget(region.size())) {
        noteFailure(DecodeFault::Kind::TooLarge);
        return QImage();
    }
    PngReader png(m_data);
    QImage image(region.size(), QImage::Format_ARGB32);
    if (image.isNull()) {
        noteFailure(DecodeFault::Kind::NoResources);
        return QImage();
    }
    if (!png.readHeader() || !png.startRows()) {
        noteFailure(png);
        return QImage();
    }
    image.fill(png.hasAlpha() ? Qt::transparent : Qt::black);
    const bool wholeRows = region.width() == m_size.width();
    std::vector<unsigned char> row(std::size_t(m_size.width()) * 4);
    for (int y = 0; y <= region.bottom(); ++y) {
        const bool wanted = y >= region.top();
        unsigned char* target = wanted && wholeRows ? image.scanLine(y - region.top()) : row.data();
        if (!png.readRow(target)) {
            if (y == 0) {
                noteFailure(png);
                return QImage();
            }
            noteFault(png.fault());
            if (wanted && wholeRows)
                clearRow(target, m_size.width(), png.hasAlpha());
            break;
        }
        if (wanted && !wholeRows)
            std::memcpy(image.scanLine(y - region.top()), row.data() + std::size_t(region.left()) * 4,
                        std::size_t(region.width()) * 4);
    }
    if (png.hasAlpha())
        image.convertTo(QImage::Format_ARGB32_Premultiplied);
    else
        image.reinterpretAsFormat(QImage::Format_RGB32);
    return image;
}

// Without transparency there is nothing to composite: the rows go straight to their place.
bool PngSource::decodesInto(const QRect&) const
{
    return m_opaque;
}

bool PngSource::decodeRegionInto(const QRect& region, const GdiPixelRows& rows)
{
    const int bytesPerPixel = rows.bitsPerPixel / 8;
    if (!m_opaque)
        return false;
    if (!fitsPixelBudget(region.size()))
        return noteFailure(DecodeFault::Kind::TooLarge);
    PngReader png(m_data);
    if (!png.readHeader() || !png.startRows(bytesPerPixel))
        return noteFailure(png);
    const bool wholeRows = region.width() == m_size.width();
    std::vector<unsigned char> row(std::size_t(m_size.width()) * std::size_t(bytesPerPixel));
    for (int y = 0; y <= region.bottom(); ++y) {
        const bool wanted = y >= region.top();
        unsigned char* out = wanted && wholeRows ? rows.row(y - region.top()) : row.data();
        if (!png.readRow(out)) {
            // As decodeRegion: a file cut short gives the rows before the cut, the rest black.
            if (y == 0)
                return noteFailure(png);
            noteFault(png.fault());
            for (int rest = std::max(y, region.top()); rest <= region.bottom(); ++rest)
                blackRow(rows.row(rest - region.top()), region.width(), bytesPerPixel);
            return true;
        }
        if (wanted && !wholeRows)
            std::memcpy(rows.row(y - region.top()), row.data() + std::size_t(region.left()) * std::size_t(bytesPerPixel),
                        std::size_t(region.width()) * std::size_t(bytesPerPixel));
    }
    return true;
}

bool PngSource::noteFailure(const PngReader& png)
{
    const DecodeFault fault = png.fault();
    noteFault(fault.isNone() ? DecodeFault(DecodeFault::Kind::Damaged) : fault);
    return false;
}

bool PngSource::noteFailure(DecodeFault::Kind kind)
{
    noteFault(kind);
    return false;
}
