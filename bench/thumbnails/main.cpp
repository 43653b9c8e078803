// Makes the photo list's thumbnails of every picture in a folder, as the list does: open, size,
// a thumbnail 100 pixels wide in the photo's proportions, its GDI bitmap, release. Prints the
// count and the time taken.
// Usage: thumbnails-bench FOLDER [WIDTH]

#include "imaging/gdiplus.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>

#include <cstdio>

namespace {

bool makeThumbnail(const QString& path, UINT width)
{
    const std::u16string name = path.toStdU16String();
    GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromFile(name.c_str(), &bitmap) != Ok)
        return false;
    UINT photoWidth = 0, photoHeight = 0;
    GdipGetImageHeight(GdipBitmapAsImage(bitmap), &photoHeight);
    GdipGetImageWidth(GdipBitmapAsImage(bitmap), &photoWidth);
    GpImage* thumbnail = nullptr;
    bool made = false;
    if (photoWidth > 0
        && GdipGetImageThumbnail(GdipBitmapAsImage(bitmap), width, width * photoHeight / photoWidth, &thumbnail,
                                 nullptr, nullptr) == Ok) {
        HBITMAP handle = nullptr;
        made = GdipCreateHBITMAPFromBitmap(GdipImageAsBitmap(thumbnail), &handle, 0) == Ok;
        DeleteObject(handle);
        GdipDisposeImage(thumbnail);
    }
    GdipDisposeImage(GdipBitmapAsImage(bitmap));
    return made;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: thumbnails-bench FOLDER [WIDTH]\n");
        return 2;
    }
    const UINT width = argc > 2 ? UINT(std::atoi(argv[2])) : 100;
    GdiplusStartupInput input;
    ULONG_PTR token = 0;
    GdiplusStartup(&token, &input, nullptr);
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    int files = 0, made = 0;
    QElapsedTimer timer;
    timer.start();
    for (const QString& name : folder.entryList(QDir::Files, QDir::Name)) {
        ++files;
        made += makeThumbnail(folder.filePath(name), width) ? 1 : 0;
    }
    std::printf("files=%d thumbnails=%d seconds=%.3f\n", files, made, timer.nsecsElapsed() / 1e9);
    GdiplusShutdown(token);
    return made == files ? 0 : 1;
}
