// SPDX-License-Identifier: GPL-2.0-or-later
#include "thumbnails/cachefile.h"

#include "platform/files/replacingfile.h"

#include <cerrno>
#include <charconv>
#include <csignal>
#include <string_view>
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

// A temporary entry whose writer is gone: `<name>.strevio-<pid>-<digits>.tmp` of a process that
// no longer runs.
bool isLeftover(std::string_view name)
{
    constexpr std::string_view kTag = ".strevio-";
    const std::size_t tag = name.rfind(kTag);
    if (tag == std::string_view::npos || !name.ends_with(ReplacingFile::kTemporaryEnd))
        return false;
    std::string_view rest = name.substr(tag + kTag.size());
    pid_t pid = 0;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), pid);
    if (error != std::errc() || pid <= 0 || end == rest.data() + rest.size() || *end != '-' || pid == ::getpid())
        return false;
    return ::kill(pid, 0) != 0 && errno == ESRCH;
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

bool FolderSet::insert(const QByteArray& folder)
{
    std::lock_guard lock(m_mutex);
    if (m_folders.contains(folder))
        return false;
    m_folders.insert(folder);
    return true;
}

bool isPrivateFolder(const QByteArray& folder)
{
    struct stat st {};
    if (::stat(folder.constData(), &st) != 0)
        return errno == ENOENT;
    return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

bool replace(const QByteArray& folder, const QByteArray& name, const QByteArray& data)
{
    ReplacingFile file;
    if (!openFolder(file, folder))
        return false;
    // Each folder is cleared of leftovers once a run, before its first entry is written.
    static FolderSet cleared;
    if (cleared.insert(folder))
        file.removeStaleTemporaries(isLeftover);
    // No fsync: a cut-short entry left by a crash reads as damaged and is made again.
    return file.create(temporaryPrefix(name), ReplacingFile::Permissions::OwnerOnly)
        && file.writeAt(0, data.constData(), std::size_t(data.size()))
        && file.commit((folder + '/' + name).toStdString(), false);
}

} // namespace CacheFile
