// SPDX-License-Identifier: GPL-2.0-or-later
#include "thumbnails/cachefile.h"

#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace CacheFile {

namespace {

constexpr int kTemporaryNameTries = 8;

bool readFully(int fd, char* out, qint64 size, qint64* got)
{
    *got = 0;
    while (*got < size) {
        const ssize_t n = ::read(fd, out + *got, std::size_t(size - *got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        *got += n;
    }
    return true;
}

bool writeFully(int fd, const QByteArray& data)
{
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.constData() + done, std::size_t(data.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// The standard's temporary name: the program, the process and a random part, beside the target,
// ending in something other than .png so that no reader takes a partial file for an entry.
int createTemporary(const QByteArray& folder, const QByteArray& name, QByteArray* path)
{
    for (int i = 0; i < kTemporaryNameTries; ++i) {
        *path = folder + '/' + name + ".strevio-" + QByteArray::number(::getpid()) + '-'
              + QByteArray::number(QRandomGenerator::global()->generate(), 16) + ".tmp";
        const int fd = ::open(path->constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

} // namespace

bool read(const QByteArray& path, qint64 maxBytes, QByteArray* data)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= maxBytes;
    qint64 got = 0;
    if (ok) {
        data->resize(qsizetype(st.st_size));
        ok = readFully(fd, data->data(), st.st_size, &got);
        data->truncate(qsizetype(got));
    }
    ::close(fd);
    return ok;
}

bool makeFolders(const QByteArray& folder)
{
    for (qsizetype end = folder.indexOf('/', 1); ; end = folder.indexOf('/', end + 1)) {
        const QByteArray part = end < 0 ? folder : folder.left(end);
        // mkdir's mode passes through the umask; chmod makes the new folder exactly 0700.
        if (::mkdir(part.constData(), 0700) == 0) {
            if (::chmod(part.constData(), 0700) != 0)
                return false;
        } else if (errno != EEXIST) {
            return false;
        }
        if (end < 0)
            return true;
    }
}

bool replace(const QByteArray& folder, const QByteArray& name, const QByteArray& data)
{
    QByteArray temporary;
    int fd = createTemporary(folder, name, &temporary);
    if (fd < 0 && errno == ENOENT && makeFolders(folder))
        fd = createTemporary(folder, name, &temporary);
    if (fd < 0)
        return false;
    // No fsync: a cut-short entry left by a crash reads as damaged and is made again.
    bool ok = ::fchmod(fd, 0600) == 0 && writeFully(fd, data);
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temporary.constData(), (folder + '/' + name).constData()) == 0;
    if (!ok)
        ::unlink(temporary.constData());
    return ok;
}

} // namespace CacheFile
