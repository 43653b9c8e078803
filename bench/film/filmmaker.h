// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Makes a film of photos as the photo list's Make Film does, with the program's own classes: each
// photo decoded by the image services, copied unscaled through a device context onto the top-left
// corner of a black 2000 x 2000 DIB section (the next ones composed while this one is stored),
// stored by CFilmWriter at the codec's default quality.

#include "film/filmframe.h"
#include "platform/avifile/avifile.h"
#include "platform/gdi/gdi.h"

#include <QString>
#include <QStringList>

class FilmMaker {
public:
    static constexpr int kCanvasSize = kFilmCanvasSize;

    explicit FilmMaker(int framesPerSecond = 2);

    // AVIERR_OK when every photo became a frame and the film is complete at `filmPath`.
    HRESULT make(const QStringList& photos, const QString& filmPath);
    int frames() const { return m_frames; }

private:
    int m_framesPerSecond;
    int m_frames = 0;
};
