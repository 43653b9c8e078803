// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Picture files for the image-service tests and bench/header-bombs, made on the spot: through
// Qt's writers, by hand for the bytes Qt does not write (GIF, CUR, EXIF, headers claiming huge
// sizes), and as hand-coded baseline JPEG and PNG streams for pictures too large to hold in memory.

#include "imaging/gdiplus.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QTemporaryDir>

#include <functional>

class Fixtures {
public:
    Fixtures();
    QString path(const QString& name) const;
    QString write(const QString& name, const QByteArray& bytes) const;
    QString writeImage(const QString& name, const QImage& image, const char* format) const;

    // Random pixels, the same for the same size: a picture no encoder shrinks much.
    static QImage noisy(int width, int height);
    // 2 x 1 GIF with two frames: red, blue, then blue, red.
    static QByteArray twoFrameGif();
    // An icon file holding the given images, in that order (type 2 makes it a cursor file).
    static QByteArray iconFile(const QList<QImage>& images, int type = 1);
    // A JPEG with an APP1 Exif segment carrying the orientation inserted after SOI.
    static QByteArray withExifOrientation(const QByteArray& jpeg, int orientation);
    // A grey baseline JPEG where each 8 x 8 block is flat with the grey `blockValue(bx, by)`
    // (multiples of 8 from -1024 to 1016 around mid-grey 128: value / 8 + 128 is the pixel).
    static void writeBlockJpeg(const QString& path, int width, int height,
                               const std::function<int(int, int)>& blockValue);
    // The picture as a JPEG of quality 95, baseline or progressive.
    static QByteArray jpegBytes(const QImage& image, bool progressive = false);
    // A small grey JPEG whose frame header claims the size (JPEG sizes end at 65,535); a
    // progressive one is written by Qt, in colour.
    static QByteArray jpegClaiming(int width, int height, bool progressive = false);
    // A little-endian TIFF of one PackBits strip of 8-bit samples, a few bytes of data, whose
    // directory claims the size and the samples per pixel.
    static QByteArray tiffClaiming(quint32 width, quint32 height, quint16 samplesPerPixel);
    // A PNG with a valid IHDR claiming the size and a tiny IDAT.
    static QByteArray pngHeaderOnly(quint32 width, quint32 height);
    // A GIF whose screen and only image claim the size, with a few bytes of picture.
    static QByteArray gifClaiming(quint16 width, quint16 height);
    // A 24-bit BMP whose header claims the size, with a few bytes of pixels.
    static QByteArray bmpClaiming(qint32 width, qint32 height);
    // An icon file (type 2: a cursor file) of one entry whose image, a PNG or a DIB, claims the
    // size; the directory says 256 x 256, the most it can say.
    static QByteArray iconClaiming(quint32 width, quint32 height, bool png, int type = 1);
    // A grey PNG of the size whose first `brightRows` rows are white to `brightColumns`,
    // the rest black; written with up-filtered rows so it compresses fast.
    static void writeGreyPng(const QString& path, int width, int height, int brightColumns, int brightRows);

    // Quadrants: red top-left, green top-right, blue bottom-left, white bottom-right.
    static QImage quadrants(int width, int height);

private:
    QTemporaryDir m_dir;
};

std::u16string wide(const QString& path);
// The peak resident memory of this process since the last reset, from /proc.
void resetPeakRss();
long peakRssKiB();
bool nearColor(QRgb actual, QRgb expected, int tolerance = 24);
