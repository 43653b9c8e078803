// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/files/filestamp.h"

#include "platform/paths/localpath.h"

#include <sys/stat.h>

FileStamp FileStamp::of(const QString& path)
{
    return ofName(LocalPath::encode(path).constData());
}

FileStamp FileStamp::ofName(const char* name)
{
    struct stat st {};
    if (::stat(name, &st) != 0 || !S_ISREG(st.st_mode))
        return FileStamp();
    FileStamp stamp;
    stamp.size = qint64(st.st_size);
    stamp.mtimeSeconds = qint64(st.st_mtim.tv_sec);
    stamp.mtimeNanoseconds = qint64(st.st_mtim.tv_nsec);
    stamp.inode = quint64(st.st_ino);
    stamp.device = quint64(st.st_dev);
    return stamp;
}
