// SPDX-License-Identifier: GPL-2.0-or-later
// video1-bench: measures our Microsoft Video 1 encoder on square photo canvases.
//   video1-bench canvases FOLDER OUT.raw [SIZE]   builds raw BGR canvases from the photos of FOLDER
//   video1-bench encode CANVASES.raw [QUALITY] [THREADS] [SIZE]
//                                                  prints fps, total bytes and mean PSNR
//   video1-bench speed CANVASES.raw [QUALITY] [THREADS] [SIZE]
//                                                  the same without decoding (fps, bytes)
//   video1-bench psnr CANVASES.raw DECODED.raw [SIZE]
//                                                  mean PSNR of another decoder's frames
//   video1-bench match CANVASES.raw BYTES [SIZE]  our quality whose size comes closest to BYTES,
//                                                  and whether it got down to them (within 1 %)

#include "canvasset.h"
#include "video1trial.h"

#include "platform/video1/video1encoder.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int kCanvasSize = 2000;

int argOr(int argc, char** argv, int index, int fallback)
{
    return index < argc ? std::atoi(argv[index]) : fallback;
}

void print(const TrialResult& result)
{
    std::printf("quality=%d frames=%zu bytes=%llu psnr=%.3f fps=%.3f\n", result.quality, result.frames,
                static_cast<unsigned long long>(result.bytes), result.meanPsnr, result.framesPerSecond());
}

int fail(const std::string& error)
{
    std::fprintf(stderr, "video1-bench: %s\n", error.c_str());
    return 1;
}

int makeCanvases(int argc, char** argv)
{
    int qtArgc = 1;
    QCoreApplication app(qtArgc, argv); // for the image format plugins
    CanvasSet canvases(argOr(argc, argv, 4, kCanvasSize));
    std::string error;
    if (!canvases.addPhotosOf(argv[2], error) || !canvases.save(argv[3], error))
        return fail(error);
    if (!error.empty())
        std::fprintf(stderr, "%s", error.c_str());
    std::printf("frames=%zu\n", canvases.count());
    return 0;
}

int encode(int argc, char** argv, bool measurePsnr)
{
    CanvasSet canvases(argOr(argc, argv, 5, kCanvasSize));
    std::string error;
    if (!canvases.load(argv[2], error))
        return fail(error);
    const Video1Trial trial(canvases, argOr(argc, argv, 4, 0));
    print(trial.run(argOr(argc, argv, 3, video1::kDefaultQuality), measurePsnr));
    return 0;
}

int psnr(int argc, char** argv)
{
    CanvasSet canvases(argOr(argc, argv, 4, kCanvasSize));
    std::string error;
    double value = 0;
    if (!canvases.load(argv[2], error) || !canvases.meanPsnrAgainst(argv[3], value, error))
        return fail(error);
    std::printf("psnr=%.3f\n", value);
    return 0;
}

int match(int argc, char** argv)
{
    CanvasSet canvases(argOr(argc, argv, 4, kCanvasSize));
    std::string error;
    if (!canvases.load(argv[2], error))
        return fail(error);
    const SizeMatch match = Video1Trial(canvases).closestToSize(std::strtoull(argv[3], nullptr, 10));
    std::printf("quality=%d frames=%zu bytes=%llu psnr=%.3f target_bytes=%llu size_over_percent=%.2f "
                "size_reached=%s\n",
                match.trial.quality, match.trial.frames, static_cast<unsigned long long>(match.trial.bytes),
                match.trial.meanPsnr, static_cast<unsigned long long>(match.targetBytes), match.overPercent(),
                match.reached() ? "yes" : "no");
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "canvases" && argc >= 4)
        return makeCanvases(argc, argv);
    if (command == "encode" && argc >= 3)
        return encode(argc, argv, true);
    if (command == "speed" && argc >= 3)
        return encode(argc, argv, false);
    if (command == "psnr" && argc >= 4)
        return psnr(argc, argv);
    if (command == "match" && argc >= 4)
        return match(argc, argv);
    std::fprintf(stderr, "usage: video1-bench canvases FOLDER OUT.raw [SIZE]\n"
                         "       video1-bench encode CANVASES.raw [QUALITY] [THREADS] [SIZE]\n"
                         "       video1-bench speed CANVASES.raw [QUALITY] [THREADS] [SIZE]\n"
                         "       video1-bench psnr CANVASES.raw DECODED.raw [SIZE]\n"
                         "       video1-bench match CANVASES.raw BYTES [SIZE]\n");
    return 2;
}
