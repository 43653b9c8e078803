#include "filmmaker.h"

#include "film/cdibimage.h"
#include "film/cfilmwriter.h"
#include "imaging/gdiplus.h"

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
        composeFrame(canvasDC, photo);
        if (writer.AddFrame(canvas.m_Bitmap) == AVIERR_OK)
            ++m_frames;
    }
    canvas.ReleaseDC();
    canvas.Destroy();
    return writer.Close(true);
}

void FilmMaker::composeFrame(HDC canvasDC, const QString& photo)
{
    const std::u16string widePath = photo.toStdU16String();
    GpBitmap* bitmap = nullptr;
    GdipCreateBitmapFromFile(reinterpret_cast<const WCHAR*>(widePath.c_str()), &bitmap);
    CDibImage holder;
    HBITMAP handle = nullptr;
    if (bitmap && GdipCreateHBITMAPFromBitmap(bitmap, &handle, 0) == Ok && handle)
        holder.Attach(handle);
    const RECT whole{0, 0, kCanvasSize, kCanvasSize};
    HBRUSH black = CreateSolidBrush(RGB(0, 0, 0));
    FillRect(canvasDC, &whole, black);
    DeleteObject(black);
    if (holder.m_Bitmap) {
        HDC photoDC = holder.AcquireDC();
        BitBlt(canvasDC, 0, 0, kCanvasSize, kCanvasSize, photoDC, 0, 0, SRCCOPY);
        holder.ReleaseDC();
    }
    holder.Destroy();
    if (bitmap)
        GdipDisposeImage(GdipBitmapAsImage(bitmap));
}
