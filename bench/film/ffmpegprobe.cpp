// SPDX-License-Identifier: GPL-2.0-or-later
#include "ffmpegprobe.h"

#include <QProcess>
#include <QStringList>

namespace {

// FFmpeg's last complaint, without the path it names the photo by.
QString lastComplaint(const QString& photo, const QByteArray& errors)
{
    const QStringList lines = QString::fromLocal8Bit(errors).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (lines.isEmpty())
        return QStringLiteral("no picture");
    QString line = lines.last().trimmed();
    if (line.startsWith(photo + QLatin1String(": ")))
        line.remove(0, photo.size() + 2);
    return line;
}

} // namespace

FfmpegProbe::Verdict FfmpegProbe::probe(const QString& photo, QString& reason) const
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), {"-nostdin", "-v", "error", "-i", photo, "-map", "0:v:0", "-frames:v", "1",
                                            "-f", "null", "-"});
    if (!ffmpeg.waitForFinished(-1) && ffmpeg.error() == QProcess::FailedToStart)
        return Verdict::NoFfmpeg;
    if (ffmpeg.exitStatus() == QProcess::NormalExit && ffmpeg.exitCode() == 0)
        return Verdict::Readable;
    reason = lastComplaint(photo, ffmpeg.readAllStandardError());
    return Verdict::Unreadable;
}
