#pragma once
// Opens a picture file: reads it, recognises its format by content (the extension only breaks
// the tie for headerless metafiles) and picks the decoder, which reads only the header now.

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
    static GpStatus read(const QString& path, QByteArray* data);
    static std::unique_ptr<ImageSource> decoderFor(const QByteArray& data, Format format);
    static std::unique_ptr<ImageSource> metafileDecoder(const QByteArray& data, Format format);
};
