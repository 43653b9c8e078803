// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The EXIF orientation of a photo (tag 0x0112, values 1 to 8) and the geometry it implies
// between the stored ("raw") pixels and the upright picture.

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSize>

class ExifOrientation {
public:
    explicit ExifOrientation(int value = 1);

    // The orientation recorded in a JPEG file's APP1 Exif segment; 1 when there is none.
    static ExifOrientation fromJpeg(const QByteArray& data);

    int value() const { return m_value; }
    bool swapsAxes() const { return m_value >= 5; }
    QSize upright(const QSize& raw) const { return swapsAxes() ? raw.transposed() : raw; }
    QSize raw(const QSize& uprightSize) const { return swapsAxes() ? uprightSize.transposed() : uprightSize; }

    // The stored pixels that make up `region` of the upright picture.
    QRect toRaw(const QRect& region, const QSize& rawSize) const;

    // Turns stored pixels upright.
    QImage apply(const QImage& raw) const;

private:
    QPoint toRaw(const QPoint& point, const QSize& rawSize) const;

    int m_value;
};
