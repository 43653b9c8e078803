// SPDX-License-Identifier: GPL-2.0-or-later
// load-bench: the program under load, headless.
//   load-bench photolist PHOTO    opens PHOTO's folder in a photo list, rebuilds and zooms it
//                                 through every size; one line per step with time and peak memory
//   load-bench film FRAMES FILM.avi pictures|noise [LAST.raw]
//                                 a film of FRAMES drawn frames through the film writer; the last
//                                 frame's canvas (BGR, top row first) goes to LAST.raw

#include "photolistload.h"
#include "syntheticfilm.h"

#include "../support/headlessrun.h"

#include "res/resource.h"

#include <QApplication>
#include <QFileInfo>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>


namespace {

int photoList(int argc, char** argv)
{
    const HeadlessRun headless;
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    RegisterStrevioResources();
    std::vector<LoadStep> steps;
    std::string error;
    const bool ok = PhotoListLoad().run(QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath(), steps, error);
    for (const LoadStep& step : steps)
        std::printf("step=\"%s\" seconds=%.3f items=%ld rss_kb=%ld peak_kb=%ld\n", step.name.c_str(), step.seconds,
                    step.items, step.residentKilobytes, step.peakKilobytes);
    if (!ok)
        std::fprintf(stderr, "load-bench: %s\n", error.c_str());
    return ok ? 0 : 1;
}

int film(int argc, char** argv)
{
    const int frames = std::atoi(argv[2]);
    const std::string kind = argv[4];
    SyntheticFilm film(kind == "noise" ? SyntheticFilm::Kind::Noise : SyntheticFilm::Kind::Pictures);
    const auto start = std::chrono::steady_clock::now();
    const HRESULT result = film.make(QString::fromLocal8Bit(argv[3]), frames);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("frames=%d seconds=%.3f peak_kb=%ld result=0x%08x\n", film.framesStored(), seconds, PeakKilobytes(),
                unsigned(result));
    if (argc > 5) {
        std::ofstream last(argv[5], std::ios::binary);
        last.write(reinterpret_cast<const char*>(film.lastFrame().data()), std::streamsize(film.lastFrame().size()));
        if (!last)
            return 1;
    }
    return result == AVIERR_OK ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "photolist" && argc == 3)
        return photoList(argc, argv);
    if (command == "film" && argc >= 5 && argc <= 6) {
        int qtArgc = 1;
        QCoreApplication app(qtArgc, argv);
        return film(argc, argv);
    }
    std::fprintf(stderr, "usage: load-bench photolist PHOTO\n"
                         "       load-bench film FRAMES FILM.avi pictures|noise [LAST.raw]\n");
    return 2;
}
