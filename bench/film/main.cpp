// SPDX-License-Identifier: GPL-2.0-or-later
// film-bench: films of a folder made as the program makes them, and what they are measured by.
//   film-bench plan FOLDER WORKDIR     the photos of FOLDER that FFmpeg can read (WORKDIR/photos.list,
//                                      the others named with FFmpeg's reason), their reference
//                                      canvases (WORKDIR/reference.raw, BGR, top row first) and the
//                                      FFmpeg command for them
//   film-bench make PHOTOS FILM.avi    our film, as Make Film does it, of the photos of a plan's
//                                      photos.list or of every photo of a folder
//   film-bench measure PROGRAM [ARG...]  runs a program; last line: its exit, wall and
//                                      processor seconds, peak memory
//   film-bench score REFERENCE.raw FILM.avi   mean PSNR of the film's frames as FFmpeg decodes them

#include "childprocess.h"
#include "ffmpegplan.h"
#include "ffmpegprobe.h"
#include "filmmaker.h"
#include "filmscore.h"
#include "referencecanvas.h"

#include "browser/photofolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kCanvasSize = FilmMaker::kCanvasSize;

int fail(const std::string& error)
{
    std::fprintf(stderr, "film-bench: %s\n", error.c_str());
    return 1;
}

QStringList photosOf(const char* folder)
{
    QStringList photos;
    PhotoFolder::Scan(QDir(QString::fromLocal8Bit(folder)).absolutePath(), QString(), photos);
    return photos;
}

// Leaves out the photos FFmpeg cannot read, naming each with FFmpeg's reason. False without ffmpeg.
bool keepReadableByFfmpeg(const QStringList& photos, QStringList& readable)
{
    const FfmpegProbe ffmpeg;
    for (const QString& photo : photos) {
        QString reason;
        switch (ffmpeg.probe(photo, reason)) {
        case FfmpegProbe::Verdict::Readable:
            readable << photo;
            break;
        case FfmpegProbe::Verdict::Unreadable:
            std::printf("left out, FFmpeg cannot read it (%s): %s\n", qPrintable(reason), qPrintable(photo));
            break;
        case FfmpegProbe::Verdict::NoFfmpeg:
            return false;
        }
    }
    return true;
}

// The photos both films are made of, in order, each path ended by a NUL.
bool writePhotoList(const QStringList& photos, const QString& path)
{
    QFile list(path);
    if (!list.open(QIODevice::WriteOnly))
        return false;
    for (const QString& photo : photos)
        list.write(QFile::encodeName(photo).append('\0'));
    return list.flush();
}

bool readPhotoList(const QString& path, QStringList& photos)
{
    QFile list(path);
    if (!list.open(QIODevice::ReadOnly))
        return false;
    const QByteArray names = list.readAll();
    for (const QByteArray& name : names.split('\0')) {
        if (!name.isEmpty())
            photos << QFile::decodeName(name);
    }
    return list.error() == QFileDevice::NoError;
}

int plan(const char* folder, const char* workFolder)
{
    const QStringList photos = photosOf(folder);
    if (photos.isEmpty())
        return fail(std::string("no photos in ") + folder);
    QStringList readable;
    if (!keepReadableByFfmpeg(photos, readable))
        return fail("cannot start ffmpeg");
    if (readable.isEmpty())
        return fail(std::string("FFmpeg can read none of the photos in ") + folder);
    const QString work = QString::fromLocal8Bit(workFolder);
    if (!writePhotoList(readable, QDir(work).filePath(QStringLiteral("photos.list"))))
        return fail("cannot write the list of photos into " + work.toStdString());
    std::ofstream raw(QDir(work).filePath(QStringLiteral("reference.raw")).toStdString(), std::ios::binary);
    const ReferenceCanvas reference(kCanvasSize);
    FfmpegPlan ffmpeg(kCanvasSize);
    std::vector<std::uint8_t> canvas;
    int reoriented = 0, translucent = 0, undecodable = 0;
    std::uint64_t largest = 0;
    for (const QString& photo : readable) {
        const PhotoFacts facts = reference.render(photo, canvas);
        raw.write(reinterpret_cast<const char*>(canvas.data()), std::streamsize(canvas.size()));
        ffmpeg.add(photo, facts.translucent);
        reoriented += facts.transformation != QImageIOHandler::TransformationNone;
        translucent += facts.translucent;
        undecodable += !facts.decoded;
        largest = std::max(largest, facts.decodedBytes);
    }
    std::string error;
    if (!raw.flush())
        return fail("cannot write the reference canvases into " + work.toStdString());
    if (!ffmpeg.write(work, error))
        return fail(error);
    std::printf("photos=%lld left_out=%lld reoriented=%d translucent=%d undecodable=%d largest_photo_bytes=%llu\n",
                static_cast<long long>(readable.size()), static_cast<long long>(photos.size() - readable.size()),
                reoriented, translucent, undecodable, static_cast<unsigned long long>(largest));
    return 0;
}

int make(const char* photoSource, const char* film)
{
    const auto start = std::chrono::steady_clock::now();
    const QString source = QString::fromLocal8Bit(photoSource);
    QStringList photos;
    if (QFileInfo(source).isDir())
        photos = photosOf(photoSource);
    else if (!readPhotoList(source, photos))
        return fail("cannot read the list of photos " + source.toStdString());
    FilmMaker maker;
    const HRESULT result = maker.make(photos, QString::fromLocal8Bit(film));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("photos=%lld frames=%d seconds=%.3f result=0x%08x\n", static_cast<long long>(photos.size()),
                maker.frames(), seconds, unsigned(result));
    return result == AVIERR_OK && maker.frames() == photos.size() ? 0 : 1;
}

int measure(int argc, char** argv)
{
    ChildProcess child;
    if (!child.start(std::vector<std::string>(argv + 2, argv + argc), false))
        return fail(std::string("cannot start ") + argv[2]);
    const int exitCode = child.wait();
    std::fflush(stdout);
    std::printf("exit=%d seconds=%.3f cpu_seconds=%.3f peak_kb=%ld\n", exitCode, child.seconds(), child.cpuSeconds(),
                child.peakKilobytes());
    return exitCode == 0 ? 0 : 1;
}

int score(const char* reference, const char* film)
{
    FilmScoreResult result;
    std::string error;
    const bool ok = FilmScore(kCanvasSize).score(QString::fromLocal8Bit(reference), QString::fromLocal8Bit(film),
                                                 result, error);
    std::printf("frames=%zu psnr=%.3f worst_psnr=%.3f worst_frame=%zu\n", result.frames, result.meanPsnr,
                result.worstPsnr, result.worstFrame);
    return ok ? 0 : fail(error);
}

} // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "measure" && argc >= 3)
        return measure(argc, argv);
    int qtArgc = 1;
    QCoreApplication app(qtArgc, argv); // for Qt's image format plugins
    if (command == "plan" && argc == 4)
        return plan(argv[2], argv[3]);
    if (command == "make" && argc == 4)
        return make(argv[2], argv[3]);
    if (command == "score" && argc == 4)
        return score(argv[2], argv[3]);
    std::fprintf(stderr, "usage: film-bench plan FOLDER WORKDIR\n"
                         "       film-bench make PHOTOS.list|FOLDER FILM.avi\n"
                         "       film-bench measure PROGRAM [ARG...]\n"
                         "       film-bench score REFERENCE.raw FILM.avi\n");
    return 2;
}
