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

GpStatus ImageFile::open(const QString& path, std::shared_ptr<ImageSource>* source, DecodeFault* fault)
{
    return open(path, LocalPath::encode(path), source, fault);
}

GpStatus ImageFile::open(const QString& path, const QByteArray& name, std::shared_ptr<ImageSource>* source,
                         DecodeFault* fault)
{
    DecodeFault ignored;
    if (!fault)
        fault = &ignored;
    *fault = DecodeFault();
    if (path.isEmpty())
        return InvalidParameter;
    std::unique_ptr<MappedFile> file;
    GpStatus status = MappedFile::open(name, kMaxFileBytes, &file, fault);
    std::unique_ptr<ImageSource> decoder;
    if (status == Ok) {
        const QByteArray& data = file->bytes();
        decoder = decoderFor(data, recognise(data, suffixOf(path)), fault);
        if (!decoder && fault->isNone())
            *fault = DecodeFault(DecodeFault::Kind::NotAPicture);
        else if (decoder && pixelCount(decoder->size()) > kMaxPicturePixels)
            *fault = DecodeFault(DecodeFault::Kind::TooLarge, QStringLiteral("more pixels than are decoded at once"));
        if (!fault->isNone()) {
            // A read error while the decoders looked at the header is graver than what they made of it.
            fault->add(file->readFault());
            status = OutOfMemory;
        }
    }
    if (status != Ok) {
        FileSource::logFault(path, *fault);
        return status;
    }
    *source = std::make_shared<FileSource>(path, std::move(file), std::move(decoder));
    return Ok;
}

std::unique_ptr<ImageSource> ImageFile::decoderFor(const QByteArray& data, Format format, DecodeFault* fault)
{
    // Why the decoder of the format refused the file: told when Qt's plugins cannot read it either.
    DecodeFault own;
    switch (format) {
    case Format::Jpeg:
        if (auto jpeg = JpegSource::open(data, &own))
            return jpeg;
        // Qt's plugin reads JPEG with the same libjpeg, after searching the whole file for the
        // header libjpeg gave up on; it only helps with the colours libjpeg cannot convert.
        if (!JpegSource::hasReadableHeader(data)) {
            *fault = own.isNone() ? DecodeFault(DecodeFault::Kind::Damaged) : own;
            return nullptr;
        }
        break;
    case Format::Png:
        if (auto png = PngSource::open(data, &own))
            return png;
        break;
    case Format::Wmf:
    case Format::Emf:
        return metafileDecoder(data, format, fault);
    case Format::Other:
        break;
    }
    std::unique_ptr<ImageSource> other = QtImageSource::open(data, fault);
    if (!other && !own.isNone())
        *fault = own;
    return other;
}

std::unique_ptr<ImageSource> ImageFile::metafileDecoder(const QByteArray& data, Format format, DecodeFault* fault)
{
#ifdef STREVIO_HAVE_METAFILE
    return MetafileSource::open(data, format == Format::Wmf ? MetafileKind::Wmf : MetafileKind::Emf, fault);
#else
    Q_UNUSED(data);
    Q_UNUSED(format);
    *fault = DecodeFault(DecodeFault::Kind::NotAPicture, QStringLiteral("metafiles are not decoded in this build"));
    return nullptr;
#endif
}
