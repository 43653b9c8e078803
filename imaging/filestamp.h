#pragma once
// One state of a file as the thumbnail cache tells states apart: its size and its modification
// time in whole seconds.

#include <QtGlobal>

struct FileStamp {
    qint64 size = -1;
    qint64 mtimeSeconds = 0;

    bool valid() const { return size >= 0; }
};
