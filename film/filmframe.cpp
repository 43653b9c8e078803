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
    DeleteObject(black);
    if (holder.m_Bitmap) {
        HDC photoDC = holder.AcquireDC();
        BitBlt(canvasDC, 0, 0, kFilmCanvasSize, kFilmCanvasSize, photoDC, 0, 0, SRCCOPY);
        holder.ReleaseDC();
    }
    holder.Destroy();
    if (photo)
        GdipDisposeImage(GdipBitmapAsImage(photo));
}
