// SPDX-License-Identifier: GPL-2.0-or-later
#include "film/cfilmwriter.h"

#include "platform/paths/localpath.h"

#include <QLoggingCategory>

#include <cstring>

namespace {
Q_LOGGING_CATEGORY(lcFilm, "strevio.film", QtWarningMsg)

void logFailure(const QString& path, const char* what, HRESULT result)
{
    qCWarning(lcFilm).noquote() << QStringLiteral("%1: %2 (AVI error 0x%3)")
                                       .arg(LocalPath::display(path), QLatin1String(what))
                                       .arg(quint32(result), 8, 16, QLatin1Char('0'));
}

constexpr DWORD kVideo1Handler = MakeFourCC('M', 'S', 'V', 'C');
} // namespace

CFilmWriter::~CFilmWriter()
{
    ReleaseStreams();
    if (m_File)
        AVIFileRelease(m_File);
}

bool CFilmWriter::Open(QString path, std::int32_t framesPerSecond)
{
    if (framesPerSecond < 1)
        return false;
    AVIFileInit();
    const QByteArray nativePath = LocalPath::encode(path);
    m_LastResult = AVIFileOpenA(&m_File, nativePath.constData(), OF_WRITE | OF_CREATE, nullptr);
    if (m_LastResult != AVIERR_OK) {
        logFailure(path, "the film cannot be created", m_LastResult);
        m_File = nullptr;
        AVIFileExit();
        return false;
    }
    m_Path = path;
    m_FrameRate = framesPerSecond;
    m_FrameCount = 0;
    m_bFrameFailed = false;
    return true;
}

HRESULT CFilmWriter::CreateStreams(const DIBSECTION& section)
{
    const BITMAPINFOHEADER& header = section.dsBmih;
    if (!m_VideoStream) {
        AVISTREAMINFOA info;
        std::memset(&info, 0, sizeof info);
        info.fccType = streamtypeVIDEO;
        info.dwScale = 1;
        info.dwRate = DWORD(m_FrameRate);
        info.dwSuggestedBufferSize = header.biSizeImage;
        info.rcFrame = RECT{0, 0, header.biWidth, header.biHeight};
        m_LastResult = AVIFileCreateStreamA(m_File, &m_VideoStream, &info);
        if (m_LastResult != AVIERR_OK)
            return m_LastResult;
    }
    if (!m_CompressedStream) {
        AVICOMPRESSOPTIONS options;
        std::memset(&options, 0, sizeof options);
        options.fccHandler = kVideo1Handler;
        m_LastResult = AVIMakeCompressedStream(&m_CompressedStream, m_VideoStream, &options, nullptr);
        if (m_LastResult != AVIERR_OK)
            return m_LastResult;
        BITMAPINFOHEADER format = header;
        m_LastResult = AVIStreamSetFormat(m_CompressedStream, 0, &format, LONG(header.biSize + 4 * header.biClrUsed));
        if (m_LastResult != AVIERR_OK)
            return m_LastResult;
    }
    return AVIERR_OK;
}

HRESULT CFilmWriter::AddFrame(HBITMAP bitmap)
{
    DIBSECTION section;
    if (!bitmap || GetObjectA(bitmap, GDI_DIBSECTION_BYTES, &section) != GDI_DIBSECTION_BYTES)
        return AVIERR_BADPARAM;
    if (!m_File)
        return AVIERR_BADHANDLE;
    HRESULT result = CreateStreams(section);
    if (result == AVIERR_OK)
        result = m_LastResult = AVIStreamWrite(m_CompressedStream, m_FrameCount, 1, section.dsBm.bmBits,
                                               LONG(section.dsBmih.biSizeImage), AVIIF_KEYFRAME, nullptr, nullptr);
    if (result != AVIERR_OK) {
        m_bFrameFailed = true;
        return result;
    }
    ++m_FrameCount;
    return AVIERR_OK;
}

void CFilmWriter::ReleaseStreams()
{
    if (m_VideoStream)
        AVIStreamRelease(m_VideoStream);
    if (m_CompressedStream)
        AVIStreamRelease(m_CompressedStream);
    m_VideoStream = nullptr;
    m_CompressedStream = nullptr;
}

HRESULT CFilmWriter::Close(bool keep)
{
    ReleaseStreams();
    HRESULT result = AVIERR_OK;
    if (m_File) {
        if (!keep || m_bFrameFailed) {
            AVIFileDiscard(m_File);
            result = keep ? m_LastResult : AVIERR_OK;
        } else {
            result = AVIFileFinish(m_File);
        }
        AVIFileRelease(m_File);
        m_File = nullptr;
    }
    AVIFileExit();
    if (result != AVIERR_OK) {
        logFailure(m_Path, "the film was not written; an earlier file of its name is kept", result);
        m_LastResult = result;
    }
    return result;
}
