// SPDX-License-Identifier: GPL-2.0-or-later
#include "imaging/imagefile.h"

#include "filereading/filesource.h"
#include "imaging/imagelimits.h"
#include "imaging/jpegsource.h"
#include "filereading/mappedfile.h"
#include "imaging/pngsource.h"
#include "imaging/qtimagesource.h"
#ifdef STREVIO_HAVE_METAFILE
#include "imaging/metafilesource.h"
#endif

#include "platform/paths/localpath.h"

#include <QtEndian>

namespace {

// Nothing larger is a picture the services could show.
constexpr qint64 kMaxFileBytes = qint64(2) * 1024 * 1024 * 1024 - 1;
constexpr quint32 kEmfHeaderRecord = 1;
constexpr quint32 kEmfSignature = 0x464D4520; // " EMF"
constexpr quint32 kWmfPlaceableKey = 0x9AC6CDD7;

quint32 le32(const QByteArray& data, int at)
{
    return data.size() >= at + 4 ? qFromLittleEndian<quint32>(data.constData() + at) : 0;
}

quint16 le16(const QByteArray& data, int at)
{
    return data.size() >= at + 2 ? qFromLittleEndian<quint16>(data.constData() + at) : 0;
}

QString suffixOf(const QString& path)
{
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1);
}

bool isStandardWmfHeader(const QByteArray& data)
{
    const quint16 type = le16(data, 0);
    return (type == 1 || type == 2) && le16(data, 2) == 9 && (le16(data, 4) == 0x100 || le16(data, 4) == 0x300);
}

} // namespace

ImageFile::Format ImageFile::recognise(const QByteArray& data, const QString& suffix)
{
    if (data.startsWith("\xFF\xD8\xFF"))
        return Format::Jpeg;
    if (data.startsWith("\x89PNG\r\n\x1A\n"))
        return Format::Png;
    if (le32(data, 0) == kEmfHeaderRecord && le32(data, 40) == kEmfSignature)
        return Format::Emf;
    if (le32(data, 0) == kWmfPlaceableKey || (isStandardWmfHeader(data) && suffix.compare("wmf", Qt::CaseInsensitive) == 0))
        return Format::Wmf;
    return Format::Other;
}

GpStatus ImageFile::open(const QString& path, std::shared_ptr<ImageSource>* source)
{
    if (path.isEmpty())
        return InvalidParameter;
    std::unique_ptr<MappedFile> file;
    const GpStatus status = MappedFile::open(LocalPath::encode(path), kMaxFileBytes, &file);
    if (status != Ok)
        return status;
    const QByteArray& data = file->bytes();
    std::unique_ptr<ImageSource> decoder = decoderFor(data, recognise(data, suffixOf(path)));
    if (!decoder || pixelCount(decoder->size()) > kMaxPicturePixels)
        return OutOfMemory;
    *source = std::make_shared<FileSource>(std::move(file), std::move(decoder));
    return Ok;
}

std::unique_ptr<ImageSource> ImageFile::decoderFor(const QByteArray& data, Format format)
{
    switch (format) {
    case Format::Jpeg:
        if (auto jpeg = JpegSource::open(data))
            return jpeg;
        // Qt's plugin reads JPEG with the same libjpeg, after searching the whole file for the
        // header libjpeg gave up on; it only helps with the colours libjpeg cannot convert.
        if (!JpegSource::hasReadableHeader(data))
            return nullptr;
        break;
    case Format::Png:
        if (auto png = PngSource::open(data))
            return png;
        break;
    case Format::Wmf:
    case Format::Emf:
        return metafileDecoder(data, format);
    case Format::Other:
        break;
    }
    return QtImageSource::open(data);
}

std::unique_ptr<ImageSource> ImageFile::metafileDecoder(const QByteArray& data, Format format)
{
#ifdef STREVIO_HAVE_METAFILE
    return MetafileSource::open(data, format == Format::Wmf ? MetafileKind::Wmf : MetafileKind::Emf);
#else
    Q_UNUSED(data);
    Q_UNUSED(format);
    return nullptr;
#endif
}
