#include "imaging/imagefile.h"

#include "imaging/imagelimits.h"
#include "imaging/jpegsource.h"
#include "imaging/pngsource.h"
#include "imaging/qtimagesource.h"
#ifdef STREVIO_HAVE_METAFILE
#include "imaging/metafilesource.h"
#endif

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Files are read whole; nothing larger is a picture the services could show.
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

GpStatus ImageFile::read(const QString& path, QByteArray* data)
{
    if (path.isEmpty())
        return InvalidParameter;
    // Opened without blocking and checked on the open descriptor, so a FIFO or device swapped in
    // for a photo can never stall the read.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? InvalidParameter : AccessDenied;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return InvalidParameter;
    }
    if (st.st_size > kMaxFileBytes) {
        ::close(fd);
        return OutOfMemory;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return AccessDenied;
    }
    *data = file.readAll();
    return file.error() == QFileDevice::NoError ? Ok : Win32Error;
}

GpStatus ImageFile::open(const QString& path, std::shared_ptr<ImageSource>* source)
{
    QByteArray data;
    const GpStatus status = read(path, &data);
    if (status != Ok)
        return status;
    std::unique_ptr<ImageSource> decoder = decoderFor(data, recognise(data, QFileInfo(path).suffix()));
    if (!decoder || pixelCount(decoder->size()) > kMaxPicturePixels)
        return OutOfMemory;
    *source = std::move(decoder);
    return Ok;
}

std::unique_ptr<ImageSource> ImageFile::decoderFor(const QByteArray& data, Format format)
{
    switch (format) {
    case Format::Jpeg:
        if (auto jpeg = JpegSource::open(data))
            return jpeg;
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
