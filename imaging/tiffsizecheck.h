// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// What a TIFF's first directory makes its decoder allocate, checked with libtiff before the file
// is handed to Qt's TIFF plugin. A few bytes of directory can claim thousands of samples for each
// pixel, or strips and tiles of gigabytes, which libtiff allocates as one block even for a picture
// whose pixel count is small.

#include <QByteArray>

class TiffSizeCheck {
public:
    static bool isTiff(const QByteArray& data);
    // False when a pixel has more than 128 bits of samples (four channels of 32 bits), when the
    // samples of the whole picture would pass a picture of kImagePixelBudget pixels at 16 bits for
    // each of four channels, when one strip or tile would be larger than both the whole picture
    // and 16 MiB, or when the directory cannot be read.
    static bool fitsBudget(const QByteArray& data);
};
