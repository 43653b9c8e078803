// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Whether FFmpeg can read a photo: its first picture decoded by the ffmpeg command line, as the
// FFmpeg side of a film comparison reads it. A folder may hold pictures the program shows and
// FFmpeg has no reader for (cursors, Windows metafiles).

#include <QString>

class FfmpegProbe {
public:
    enum class Verdict { Readable, Unreadable, NoFfmpeg };

    // With Unreadable, `reason` holds what FFmpeg said.
    Verdict probe(const QString& photo, QString& reason) const;
};
