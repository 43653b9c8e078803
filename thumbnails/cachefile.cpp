// SPDX-License-Identifier: GPL-2.0-or-later
#include "thumbnails/cachefile.h"

#include "platform/files/replacingfile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace CacheFile {

namespace {

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

// The standard's temporary name: the program and the process, beside the target, ending in
// something other than .png so that no reader takes a partial file for an entry.
std::string temporaryPrefix(const QByteArray& name)
{
    return (name + ".strevio-" + QByteArray::number(::getpid()) + '-').toStdString();
}

bool openFolder(ReplacingFile& file, const QByteArray& folder)
{
    if (file.openFolder(folder.toStdString()))
        return true;
    return file.error() == ENOENT && makeFolders(folder) && file.openFolder(folder.toStdString());
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
    ReplacingFile file;
    // No fsync: a cut-short entry left by a crash reads as damaged and is made again.
    return openFolder(file, folder) && file.create(temporaryPrefix(name), ReplacingFile::Permissions::OwnerOnly)
        && file.writeAt(0, data.constData(), std::size_t(data.size()))
        && file.commit((folder + '/' + name).toStdString(), false);
}

} // namespace CacheFile
