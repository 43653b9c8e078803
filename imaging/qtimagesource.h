// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A picture read in one piece by Qt's image plugins (BMP, GIF, ICO, CUR, TIFF, and the JPEG and
// PNG files the streaming decoders leave aside): the first frame or page, the largest image of
// an icon file, turned upright. The size comes from the header; the pixels are read on first
// use and kept. Files whose content another plugin claims (WebP, SVG, MNG, ICNS, TGA, ...) are
// no photos here: some of those plugins read the whole file into memory before they look at it.

#include "imaging/imagesource.h"

#include <QByteArray>

#include <memory>

class QImageReader;

class QtImageSource : public ImageSource {
public:
    // Null when no plugin of the photo formats reads the data, or the picture is over the pixel
    // budget; `fault` then says which.
    static std::unique_ptr<QtImageSource> open(const QByteArray& data, DecodeFault* fault);

    QSize size() const override { return m_size; }
    QImage decodeReduced(const QSize& atLeast) override;
    QImage decodeRegion(const QRect& region) override;
    bool isDecoded() const override { return !m_image.isNull(); }

private:
    QtImageSource(QByteArray data, QByteArray format, QSize size);
    static bool isPhotoFormat(const QByteArray& format);
    static QSize storedSize(QImageReader& reader, const QByteArray& data);
    static void prepare(QImageReader& reader);
    static bool isIconFile(const QByteArray& data);
    static QImage largestIcon(QImageReader& reader);
    const QImage& image();
    void keep(const QImage& decoded, const QImageReader& reader);

    QByteArray m_data;
    QByteArray m_format;
    QSize m_size;
    QImage m_image;
    bool m_failed = false;
};
