// SPDX-License-Identifier: GPL-2.0-or-later
#include "ffmpegplan.h"

#include <QDir>
#include <QFile>

FfmpegPlan::FfmpegPlan(int canvasSize)
    : m_canvasSize(canvasSize)
{
}

void FfmpegPlan::add(const QString& photo, bool translucent)
{
    m_photos << photo;
    m_translucent << translucent;
}

QString FfmpegPlan::chainFor(int input) const
{
    const QString size = QString::number(m_canvasSize);
    // An animated picture stands for its first frame, as in the program's film.
    return QStringLiteral(
               "[%1:v]trim=end_frame=1,%2crop=min(iw\\,%3):min(ih\\,%3):0:0,pad=%3:%3:0:0:black,setsar=1[v%1];\n")
        .arg(QString::number(input), m_translucent[input] ? QStringLiteral("premultiply=inplace=1,") : QString(), size);
}

bool FfmpegPlan::write(const QString& folder, std::string& error) const
{
    QString graph;
    QString joined;
    for (int i = 0; i < m_photos.size(); ++i) {
        graph += chainFor(i);
        joined += QStringLiteral("[v%1]").arg(i);
    }
    // Each photo is a segment of one frame; the frames are numbered afresh after joining.
    graph += joined + QStringLiteral("concat=n=%1:v=1:a=0,settb=1/25,setpts=N[out]\n").arg(m_photos.size());
    const QString graphPath = QDir(folder).filePath(QStringLiteral("ffmpeg.graph"));
    QStringList arguments{"-nostdin", "-v", "error", "-y"};
    for (const QString& photo : m_photos)
        arguments << "-i" << photo;
    arguments << "-filter_complex_script" << graphPath << "-map" << "[out]" << "-fps_mode" << "passthrough"
              << "-c:v" << "msvideo1" << "-keyint_min" << "0" << "-f" << "avi";
    QFile graphFile(graphPath), argumentsFile(QDir(folder).filePath(QStringLiteral("ffmpeg.args")));
    if (!graphFile.open(QIODevice::WriteOnly) || graphFile.write(graph.toUtf8()) < 0
        || !argumentsFile.open(QIODevice::WriteOnly)) {
        error = "cannot write the FFmpeg plan into " + folder.toStdString();
        return false;
    }
    for (const QString& argument : arguments)
        argumentsFile.write(argument.toUtf8().append('\0'));
    return graphFile.flush() && argumentsFile.flush();
}
