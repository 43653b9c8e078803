// SPDX-License-Identifier: GPL-2.0-or-later
// Builds the photo list's thumbnails of every photo of a folder with the program's own rebuild
// (a photo-list window at the default size, offscreen), every photo decoded each time (neither the
// reduced pictures in memory nor the desktop's thumbnail cache answer), and the same pictures with
// `vipsthumbnail --size 100x`. Prints, per photo, the time and peak memory of each side, then the
// whole folder's times and our peak growth, and last `ratio=<ours/vips>`.
// Usage: thumbnails-bench [--totals] FOLDER   (--totals: the whole folder only, no per-photo lines)

#include "app/cstrevioapp.h"
#include "app/globals.h"
#include "browser/clistview_photos.h"
#include "browser/photofolder.h"
#include "framework/cdocument.h"
#include "framework/cmultidoctemplate.h"
#include "thumbnails/thumbnailsettings.h"
#include "res/resource.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {
struct Cost {
    double seconds = 0;
    double peakMb = 0;
};

// The process's peak resident size in MB since the last reset.
double PeakMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

void ResetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

// Runs vipsthumbnail on `paths` in a child process: its wall time and its own peak memory.
Cost RunVips(const QStringList& paths, const QString& outputFolder)
{
    std::vector<QByteArray> arguments{"vipsthumbnail", "--size", "100x", "-o",
                                      QFile::encodeName(outputFolder + QStringLiteral("/%s.jpg"))};
    for (const QString& path : paths)
        arguments.push_back(QFile::encodeName(path));
    std::vector<char*> argv;
    for (QByteArray& a : arguments)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    QElapsedTimer timer;
    timer.start();
    const pid_t child = fork();
    if (child == 0) {
        // Should /dev/null not open, the peer's messages show; the timing is the same.
        (void)!std::freopen("/dev/null", "w", stderr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    return Cost{timer.nsecsElapsed() / 1e9, usage.ru_maxrss / 1024.0};
}

// One rebuild of `list` over `photos`, exactly as the window's own rebuild runs.
Cost RunRebuild(CListView_Photos* list, const QStringList& photos)
{
    list->m_Photos.RemoveAll();
    for (const QString& path : photos)
        list->m_Photos.Add(path);
    ResetPeak();
    const double before = PeakMb();
    QElapsedTimer timer;
    timer.start();
    list->RebuildThumbnails();
    return Cost{timer.nsecsElapsed() / 1e9, PeakMb() - before};
}
} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const bool totalsOnly = argc > 2 && QByteArray(argv[1]) == "--totals";
    if (argc < 2) {
        std::fprintf(stderr, "usage: thumbnails-bench [--totals] FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[argc - 1]);
    QStringList photos;
    PhotoFolder::Scan(folder, QString(), photos);
    if (photos.isEmpty()) {
        std::fprintf(stderr, "no photos in %s\n", argv[argc - 1]);
        return 1;
    }
    RegisterStrevioResources();
    ThumbnailSettings::current().memory = false;
    ThumbnailSettings::current().diskCache = false;
    CStrevioApp app;
    if (!app.InitInstance())
        return 1;
    // The window opens on an empty folder; each measurement then rebuilds the list it is given.
    QTemporaryDir empty;
    QFile(empty.filePath(QStringLiteral("start"))).open(QIODevice::WriteOnly);
    app.OpenDocumentFile(empty.filePath(QStringLiteral("start")));
    auto* list = dynamic_cast<CListView_Photos*>(
        app.m_pPhotoListTemplate->GetDocuments().back()->GetViews().front());
    QTemporaryDir vipsOutput;

    for (const QString& path : totalsOnly ? QStringList() : photos) {
        const Cost ours = RunRebuild(list, {path});
        const Cost vips = RunVips({path}, vipsOutput.path());
        std::printf("photo=%s ours_ms=%.1f ours_peak_growth_mb=%.1f vips_ms=%.1f vips_peak_mb=%.1f\n",
                    qPrintable(PhotoFolder::FileName(path)), ours.seconds * 1000, ours.peakMb, vips.seconds * 1000,
                    vips.peakMb);
    }
    Cost ours{1e9, 0};
    Cost vips{1e9, 0};
    for (int run = 0; run < 3; ++run) {
        const Cost o = RunRebuild(list, photos);
        const Cost v = RunVips(photos, vipsOutput.path());
        ours = Cost{std::min(ours.seconds, o.seconds), std::max(ours.peakMb, o.peakMb)};
        vips = Cost{std::min(vips.seconds, v.seconds), std::max(vips.peakMb, v.peakMb)};
    }
    const double imageListMb = double(photos.size()) * 100 * 75 * 3 / (1024.0 * 1024.0);
    std::printf("files=%lld ours_seconds=%.3f ours_ms_per_photo=%.2f ours_peak_growth_mb=%.1f image_list_mb=%.1f "
                "vips_seconds=%.3f vips_peak_mb=%.1f\n",
                static_cast<long long>(photos.size()), ours.seconds, ours.seconds * 1000 / double(photos.size()),
                ours.peakMb, imageListMb, vips.seconds, vips.peakMb);
    std::printf("ratio=%.2f\n", ours.seconds / vips.seconds);
    return 0;
}
