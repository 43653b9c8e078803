#include "filmmaker.h"

#include "film/cdibimage.h"
#include "film/cfilmwriter.h"
#include "film/filmframe.h"

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
    CDibImage canvas;
    if (!canvas.Create(kCanvasSize, kCanvasSize, 24)) {
        writer.Close(false);
        return AVIERR_MEMORY;
    }
    HDC canvasDC = canvas.AcquireDC();
    for (const QString& photo : photos) {
        ComposeFilmFrame(canvasDC, photo);
        if (writer.AddFrame(canvas.m_Bitmap) == AVIERR_OK)
            ++m_frames;
    }
    canvas.ReleaseDC();
    canvas.Destroy();
    return writer.Close(true);
}
