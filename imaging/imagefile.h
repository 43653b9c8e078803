// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Opens a picture file: maps it, recognises its format by content (the extension only breaks
// the tie for headerless metafiles) and picks the decoder, which reads only the header now.
// Paths follow LocalPath: escaped bytes name the file's own bytes. A photo that gives no
// picture, or only part of one, is logged under strevio.imaging with its name and the reason.

#include "imaging/gdiplus.h"
#include "imaging/imagesource.h"

#include <QByteArray>
#include <QString>

#include <memory>

class ImageFile {
public:
    enum class Format { Jpeg, Png, Wmf, Emf, Other };

    // `fault`, when given, says why a failed open gave no source.
    static GpStatus open(const QString& path, std::shared_ptr<ImageSource>* source, DecodeFault* fault = nullptr);
    // The same for a caller that holds the on-disk name of `path` already.
    static GpStatus open(const QString& path, const QByteArray& name, std::shared_ptr<ImageSource>* source,
                         DecodeFault* fault = nullptr);
    static Format recognise(const QByteArray& data, const QString& suffix);

private:
    static std::unique_ptr<ImageSource> decoderFor(const QByteArray& data, Format format, DecodeFault* fault);
    static std::unique_ptr<ImageSource> metafileDecoder(const QByteArray& data, Format format, DecodeFault* fault);
};
