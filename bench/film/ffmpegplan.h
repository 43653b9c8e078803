#pragma once
// The FFmpeg command line that makes the same film as the program: every photo an input of its
// own (a folder may mix JPEG and PNG, which one demuxer cannot), turned upright as its EXIF
// orientation asks, composited on black when it is translucent, cut to the canvas and padded
// with black to its size at the top-left, all joined in order and coded by msvideo1 with every
// frame a key frame.

#include "referencecanvas.h"

#include <QString>
#include <QStringList>

#include <string>

class FfmpegPlan {
public:
    explicit FfmpegPlan(int canvasSize);

    void add(const QString& photo, const PhotoFacts& facts);
    // Writes into `folder` the filter graph and the arguments (NUL-separated, in ffmpeg.args)
    // that go between the program name and the output path.
    bool write(const QString& folder, std::string& error) const;

private:
    QString chainFor(int input) const;
    static QString orientationFilter(QImageIOHandler::Transformations transformation);

    int m_canvasSize;
    QStringList m_photos;
    QList<PhotoFacts> m_facts;
};
