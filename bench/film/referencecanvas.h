// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The exact 24-bit canvas a film frame should show for one photo, made with Qt alone: the photo
// upright (EXIF orientation applied), composited on black, its top-left corner copied unscaled
// onto a black square. Rows are BGR, top row first.

#include <QImageIOHandler>
#include <QString>

#include <cstdint>
#include <vector>

struct PhotoFacts {
    bool decoded = false;
    QImageIOHandler::Transformations transformation; // what the file asks to be turned upright
    bool translucent = false; // some pixel on the canvas is not opaque
    std::uint64_t decodedBytes = 0; // the whole photo at 32 bits per pixel
};

class ReferenceCanvas {
public:
    explicit ReferenceCanvas(int size);

    // Fills `canvas` (size x size x 3 bytes); an unreadable photo gives a black canvas.
    PhotoFacts render(const QString& photo, std::vector<std::uint8_t>& canvas) const;

private:
    int m_size;
};
