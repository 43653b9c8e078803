// SPDX-License-Identifier: GPL-2.0-or-later
#include "filmmaker.h"

#include "film/cfilmframepipeline.h"
#include "film/cfilmwriter.h"

#include <string>

FilmMaker::FilmMaker(int framesPerSecond)
    : m_framesPerSecond(framesPerSecond)
{
}

HRESULT FilmMaker::make(const QStringList& photos, const QString& filmPath)
{
    m_frames = 0;
    CFilmWriter writer;
    if (!writer.Open(filmPath, m_framesPerSecond))
        return writer.m_LastResult != AVIERR_OK ? writer.m_LastResult : AVIERR_FILEOPEN;
    CFilmFramePipeline frames;
    if (!frames.Create()) {
        writer.Close(false);
        return AVIERR_MEMORY;
    }
    for (qsizetype i = 0; i < photos.size(); ++i) {
        if (writer.AddFrame(frames.Compose(photos[i], photos.mid(i + 1, CFilmFramePipeline::kAhead))) == AVIERR_OK)
            ++m_frames;
    }
    return writer.Close(true);
}
