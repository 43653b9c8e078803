// SPDX-License-Identifier: GPL-2.0-or-later
// Opens every kind of header bomb (a picture whose header claims more pixels than the budget)
// the way the photo list, the film and the photo view open photos, many times each. Prints per
// bomb the median and slowest time of one attempt and the peak memory growth, then the worst of
// all against the goal of 100 ms and 50 MB. Exits with 1 when a bomb was accepted.
// Usage: header-bombs-bench [ROUNDS]   (default 50)

#include "imaging/gdiplus.h"
#include "tests/imaging/fixtures.h"
#include "tests/metafile/emfwriter.h"
#include "tests/metafile/wmfwriter.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// Every call that decodes a photo's file: true when the picture was refused by each of them.
bool RefusedEverywhere(const std::u16string& path)
{
    GpBitmap* bitmap = nullptr;
    const bool bitmapRefused = GdipCreateBitmapFromFile(path.c_str(), &bitmap) != Ok;
    if (bitmap) {
        GpImage* thumbnail = nullptr;
        if (GdipGetImageThumbnail(GdipBitmapAsImage(bitmap), 100, 100, &thumbnail, nullptr, nullptr) == Ok)
            GdipDisposeImage(thumbnail);
        GdipDisposeImage(GdipBitmapAsImage(bitmap));
    }
    GpImage* image = nullptr;
    const bool imageRefused = GdipLoadImageFromFile(path.c_str(), &image) != Ok;
    if (image)
        GdipDisposeImage(image);
    return bitmapRefused && imageRefused;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 50;
    Fixtures files;
    struct Bomb {
        const char* label;
        const char* suffix;
        QByteArray bytes;
    };
    const std::vector<Bomb> bombs = {
        {"png 100000x100000", "png", Fixtures::pngHeaderOnly(100000, 100000)},
        {"jpg 65535x65535", "jpg", Fixtures::jpegClaiming(65535, 65535)},
        {"jpg progressive 20000x20000", "jpg", Fixtures::jpegClaiming(20000, 20000, true)},
        {"gif 65535x65535", "gif", Fixtures::gifClaiming(65535, 65535)},
        {"bmp 100000x100000", "bmp", Fixtures::bmpClaiming(100000, 100000)},
        {"tif 4104x512x1000 samples", "tif", Fixtures::tiffClaiming(4104, 512, 1000)},
        {"ico png 100000x100000", "ico", Fixtures::iconClaiming(100000, 100000, true)},
        {"ico dib 30000x30000", "ico", Fixtures::iconClaiming(30000, 30000, false)},
        {"cur png 100000x100000", "cur", Fixtures::iconClaiming(100000, 100000, true, 2)},
        {"wmf 30000x30000 inches", "wmf", WmfWriter().placeable(QRect(0, 0, 30000, 30000), 1).bytes()},
        {"emf 2000000000x2000000000", "emf",
         EmfWriter(QRect(0, 0, 10, 10), QRect(0, 0, 2000000000, 2000000000)).bytes()},
    };

    double worstMs = 0;
    long worstKiB = 0;
    int accepted = 0;
    std::printf("%-28s %8s %8s %12s\n", "bomb", "median", "slowest", "peak growth");
    for (std::size_t i = 0; i < bombs.size(); ++i) {
        const QString path = files.write(QStringLiteral("bomb%1.%2").arg(i).arg(bombs[i].suffix), bombs[i].bytes);
        const std::u16string name = wide(path);
        std::vector<double> times;
        resetPeakRss();
        const long before = peakRssKiB();
        bool refused = true;
        for (int round = 0; round < rounds; ++round) {
            QElapsedTimer timer;
            timer.start();
            refused = RefusedEverywhere(name) && refused;
            times.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
        const long growthKiB = peakRssKiB() - before;
        std::sort(times.begin(), times.end());
        std::printf("%-28s %6.2fms %6.2fms %9.1f MB%s\n", bombs[i].label, times[times.size() / 2], times.back(),
                    double(growthKiB) / 1024, refused ? "" : "  ACCEPTED");
        worstMs = std::max(worstMs, times.back());
        worstKiB = std::max(worstKiB, growthKiB);
        accepted += refused ? 0 : 1;
    }
    std::printf("bombs=%zu rounds=%d accepted=%d worst_ms=%.2f worst_growth_mb=%.1f goal_ms=100 goal_mb=50\n",
                bombs.size(), rounds, accepted, worstMs, double(worstKiB) / 1024);
    return accepted ? 1 : 0;
}
