// SPDX-License-Identifier: GPL-2.0-or-later
#include "filmsession.h"

#include "testpictures.h"

HRESULT FilmSession::open(const std::string& path)
{
    return AVIFileOpenA(&file, path.c_str(), OF_WRITE | OF_CREATE, nullptr);
}

HRESULT FilmSession::start(LONG width, LONG height, DWORD rate, AVICOMPRESSOPTIONS options)
{
    BITMAPINFOHEADER format = rgb24Format(width, height);
    AVISTREAMINFOA info{};
    info.fccType = streamtypeVIDEO;
    info.dwScale = 1;
    info.dwRate = rate;
    info.dwSuggestedBufferSize = format.biSizeImage;
    info.rcFrame = {0, 0, width, height < 0 ? -height : height};
    HRESULT result = AVIFileCreateStreamA(file, &video, &info);
    if (result == AVIERR_OK)
        result = AVIMakeCompressedStream(&compressed, video, &options, nullptr);
    if (result == AVIERR_OK)
        result = AVIStreamSetFormat(compressed, 0, &format, sizeof format);
    return result;
}

HRESULT FilmSession::add(std::vector<BYTE>& pixels, LONG* bytesWritten)
{
    HRESULT result = AVIStreamWrite(compressed, frames, 1, pixels.data(), LONG(pixels.size()), AVIIF_KEYFRAME,
                                    nullptr, bytesWritten);
    if (result == AVIERR_OK)
        ++frames;
    return result;
}

void FilmSession::release()
{
    AVIStreamRelease(video);
    AVIStreamRelease(compressed);
    AVIFileRelease(file);
    video = compressed = nullptr;
    file = nullptr;
}
