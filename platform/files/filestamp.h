// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// One state of a file: its size, modification time, and which file it is. The desktop's
// thumbnail cache tells states apart by size and whole seconds; the program's own memory goes
// by all of them, so that a file replaced within the same second is seen as changed.

#include <QString>
#include <QtGlobal>

struct FileStamp {
    qint64 size = -1;
    qint64 mtimeSeconds = 0;
    qint64 mtimeNanoseconds = 0; // within the second
    quint64 inode = 0;
    quint64 device = 0;

    bool valid() const { return size >= 0; }
    friend bool operator==(const FileStamp&, const FileStamp&) = default;

    // The state of the regular file at `path` (links followed); invalid for anything else.
    static FileStamp of(const QString& path);
    // The same for the on-disk name `name`.
    static FileStamp ofName(const char* name);
};
