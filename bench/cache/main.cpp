// SPDX-License-Identifier: GPL-2.0-or-later
// Stores a 256 x 192 entry of the thumbnail cache for each of ROUNDS photo names in a temporary
// folder, as a first rebuild of a folder does, then loads each of them back, and prints the
// median and slowest time of one store and of one load, in microseconds, and the entries' size.
// The median processor time of this thread is printed too: on a busy machine it stays put while
// the elapsed times grow.
// The thumbnail is a photo-like picture (texture and noise) unless a photo is given, which Qt
// then reads and scales.
// Usage: thumbnail-cache-bench [ROUNDS] [PHOTO]   (default 500 rounds; bench/thumbnail-cache runs it)

#include "thumbnails/thumbnailcache.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace {

QImage photoLike()
{
    QImage image(256, 192, QImage::Format_RGB32);
    QRandomGenerator noise(7);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const int texture = int(40 * std::sin(x * 0.3) * std::cos(y * 0.2));
            const int grain = int(noise.bounded(24));
            image.setPixel(x, y, qRgb(std::clamp(x / 2 + texture + grain, 0, 255), std::clamp(y + grain, 0, 255),
                                      std::clamp(160 - texture + grain, 0, 255)));
        }
    return image;
}

struct Timing {
    qint64 median;
    qint64 slowest;
    qint64 medianCpu;
};

qint64 threadCpuMicros()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

template <typename Work>
Timing timeOf(int rounds, Work work)
{
    std::vector<qint64> micros;
    std::vector<qint64> cpuMicros;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        const qint64 cpuStart = threadCpuMicros();
        if (!work(i)) {
            std::fprintf(stderr, "the cache failed\n");
            std::exit(1);
        }
        cpuMicros.push_back(threadCpuMicros() - cpuStart);
        micros.push_back(timer.nsecsElapsed() / 1000);
    }
    std::sort(micros.begin(), micros.end());
    std::sort(cpuMicros.begin(), cpuMicros.end());
    return {micros[micros.size() / 2], micros.back(), cpuMicros[cpuMicros.size() / 2]};
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 500;
    const QImage thumbnail = argc > 2 ? QImage(QString::fromLocal8Bit(argv[2]))
                                            .scaled(256, 256, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                                      : photoLike();
    if (thumbnail.isNull()) {
        std::fprintf(stderr, "cannot read the photo %s\n", argv[2]);
        return 1;
    }
    QTemporaryDir folder;
    const ThumbnailCache cache(folder.path() + "/thumbnails");
    const auto photo = [&folder](int i) { return folder.path() + "/photo" + QString::number(i) + ".jpg"; };
    const FileStamp stamp{123456, 1700000000};
    const QSize photoSize = thumbnail.size() * 16;

    const Timing store = timeOf(rounds, [&](int i) { return cache.store(photo(i), stamp, thumbnail, photoSize); });
    const Timing load = timeOf(rounds, [&](int i) { return !cache.load(photo(i), stamp).isNull(); });
    qint64 bytes = 0;
    for (const QFileInfo& file : QDir(folder.path() + "/thumbnails/large").entryInfoList(QDir::Files))
        bytes += file.size();
    std::printf("thumbnail %dx%d entry_bytes=%lld rounds=%d\n", thumbnail.width(), thumbnail.height(), bytes / rounds,
                rounds);
    std::printf("store_us median=%lld slowest=%lld cpu_median=%lld\n", store.median, store.slowest, store.medianCpu);
    std::printf("load_us median=%lld slowest=%lld cpu_median=%lld\n", load.median, load.slowest, load.medianCpu);
    return 0;
}
