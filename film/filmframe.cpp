// SPDX-License-Identifier: GPL-2.0-or-later
#include "film/filmframe.h"

#include "film/cdibimage.h"
#include "imaging/gdiplus.h"

#include <algorithm>
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
    if (holder.m_Bitmap) {
        // Black where the photo leaves the canvas uncovered; the copy writes every other pixel.
        const LONG right = std::min(holder.m_Width, kFilmCanvasSize), bottom = std::min(holder.m_Height, kFilmCanvasSize);
        const RECT beside{right, 0, kFilmCanvasSize, kFilmCanvasSize}, below{0, bottom, right, kFilmCanvasSize};
        FillRect(canvasDC, &beside, black);
        FillRect(canvasDC, &below, black);
        HDC photoDC = holder.AcquireDC();
        // The photo is decoded straight onto the canvas: one that fails, even half-way, leaves it black.
        if (!BitBlt(canvasDC, 0, 0, kFilmCanvasSize, kFilmCanvasSize, photoDC, 0, 0, SRCCOPY))
            FillRect(canvasDC, &whole, black);
        holder.ReleaseDC();
    } else {
        FillRect(canvasDC, &whole, black);
    }
    DeleteObject(black);
    holder.Destroy();
    if (photo)
        GdipDisposeImage(GdipBitmapAsImage(photo));
}
