// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Opens a picture file: maps it, recognises its format by content (the extension only breaks
// the tie for headerless metafiles) and picks the decoder, which reads only the header now.
// Paths follow LocalPath: escaped bytes name the file's own bytes.

#include "imaging/gdiplus.h"
#include "imaging/imagesource.h"

#include <QByteArray>
#include <QString>

#include <memory>

class ImageFile {
public:
    enum class Format { Jpeg, Png, Wmf, Emf, Other };

    static GpStatus open(const QString& path, std::shared_ptr<ImageSource>* source);
    static Format recognise(const QByteArray& data, const QString& suffix);

private:
    static std::unique_ptr<ImageSource> decoderFor(const QByteArray& data, Format format);
    static std::unique_ptr<ImageSource> metafileDecoder(const QByteArray& data, Format format);
};
