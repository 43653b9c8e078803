// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The FFmpeg command line that makes the same film as the program: every photo an input of its
// own (a folder may mix JPEG and PNG, which one demuxer cannot) giving one frame (the first of an
// animated picture), composited on black when it is translucent, cut to the canvas and padded with
// black to its size at the top-left, all joined in order and coded by msvideo1 with every frame a
// key frame. FFmpeg turns JPEGs upright by their EXIF orientation itself (its autorotation, on by
// default), as the program does.

#include <QList>
#include <QString>
#include <QStringList>

#include <string>

class FfmpegPlan {
public:
    explicit FfmpegPlan(int canvasSize);

    void add(const QString& photo, bool translucent);
    // Writes into `folder` the filter graph and the arguments (NUL-separated, in ffmpeg.args)
    // that go between the program name and the output path.
    bool write(const QString& folder, std::string& error) const;

private:
    QString chainFor(int input) const;

    int m_canvasSize;
    QStringList m_photos;
    QList<bool> m_translucent;
};
