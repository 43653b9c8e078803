#include "film/filmframe.h"

#include "film/cdibimage.h"
#include "imaging/gdiplus.h"

#include <string>

void ComposeFilmFrame(HDC canvasDC, const QString& photoPath)
{
    const std::u16string widePath = photoPath.toStdU16String();
    GpBitmap* photo = nullptr;
    GdipCreateBitmapFromFile(reinterpret_cast<const WCHAR*>(widePath.c_str()), &photo);
    CDibImage holder;
    HBITMAP handle = nullptr;
    if (photo && GdipCreateHBITMAPFromBitmap(photo, &handle, 0) == Ok && handle)
        holder.Attach(handle);
    const RECT whole{0, 0, kFilmCanvasSize, kFilmCanvasSize};
    HBRUSH black = CreateSolidBrush(RGB(0, 0, 0));
    FillRect(canvasDC, &whole, black);
    if (holder.m_Bitmap) {
        HDC photoDC = holder.AcquireDC();
        // The photo is decoded straight onto the canvas: one that fails half-way leaves it black.
        if (!BitBlt(canvasDC, 0, 0, kFilmCanvasSize, kFilmCanvasSize, photoDC, 0, 0, SRCCOPY))
            FillRect(canvasDC, &whole, black);
        holder.ReleaseDC();
    }
    DeleteObject(black);
    holder.Destroy();
    if (photo)
        GdipDisposeImage(GdipBitmapAsImage(photo));
}
