// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Turns a sequence of bitmaps into an AVI film: one Microsoft Video 1 stream, every frame a key
// frame, a whole number of frames per second. One cycle per film: Open, AddFrame per frame, Close.

#include "platform/avifile/avifile.h"
#include "platform/gdi/gdi.h"

#include <QString>

#include <cstdint>

class CFilmWriter {
public:
    CFilmWriter() = default;
    ~CFilmWriter();
    CFilmWriter(const CFilmWriter&) = delete;
    CFilmWriter& operator=(const CFilmWriter&) = delete;

    // True when the film file is open and ready for frames. An earlier file at `path` stays until
    // the new film is complete.
    bool Open(QString path, std::int32_t framesPerSecond);
    // 0 when the bitmap (a DIB section) was stored as the next key frame.
    HRESULT AddFrame(HBITMAP bitmap);
    // Finishes the film: 0 when it is complete and in place under its name. A film with a frame
    // that could not be stored, or one closed with `keep` false, is dropped: no partial file is
    // left and an earlier file of that name is kept.
    HRESULT Close(bool keep = true);

    std::int32_t m_FrameCount = 0;
    std::int32_t m_FrameRate = 0;
    HRESULT m_LastResult = 0;
    PAVIFILE m_File = nullptr;
    PAVISTREAM m_VideoStream = nullptr;
    PAVISTREAM m_CompressedStream = nullptr;

private:
    HRESULT CreateStreams(const DIBSECTION& section);
    void ReleaseStreams();

    bool m_bFrameFailed = false;
    QString m_Path; // of the film being written, for the log
};
