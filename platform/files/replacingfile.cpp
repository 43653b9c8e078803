// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/files/replacingfile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <mutex>
#include <random>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kNameTries = 16;

std::string randomDigits()
{
    static std::mt19937_64 generator{std::random_device{}()};
    static std::mutex generatorMutex;
    std::lock_guard lock(generatorMutex);
    char text[ReplacingFile::kRandomDigits + 1];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(generator()));
    return text;
}

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// A file being written holds a lock on it; an unlocked one was left by a program that was killed
// or lost its power. Only a regular file of this user is opened, and never through a link; it is
// opened for writing because NFS grants an exclusive lock only so, and never written.
void removeIfStale(int folderFd, const char* name)
{
    struct stat named {};
    if (::fstatat(folderFd, name, &named, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(named.st_mode)
        || named.st_uid != ::geteuid())
        return;
    const int fd = ::openat(folderFd, name, O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat opened {};
    if (::fstat(fd, &opened) == 0 && sameFile(named, opened) && ::flock(fd, LOCK_EX | LOCK_NB) == 0
        && ::fstatat(folderFd, name, &named, AT_SYMLINK_NOFOLLOW) == 0 && sameFile(named, opened))
        ::unlinkat(folderFd, name, 0);
    ::close(fd);
}

// The lock marks the file as being written. A lock that is refused means another writer is
// checking the new file as a stale one, and one that came too late finds it removed: either way
// the caller tries another name. A file system without locks writes unlocked.
bool lockNewFile(int fd)
{
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return errno != EWOULDBLOCK;
    struct stat info {};
    return ::fstat(fd, &info) == 0 && info.st_nlink > 0;
}

void syncFolder(const std::string& folder)
{
    // Makes the rename durable; a folder that refuses fsync leaves a complete file all the same.
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    (void)::fsync(fd);
    ::close(fd);
}

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

ReplacingFile::~ReplacingFile()
{
    discard();
}

bool ReplacingFile::openFolder(const std::string& folder)
{
    if (m_folderFd >= 0)
        return fail(EBUSY);
    m_folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_folderFd < 0)
        return fail(errno);
    m_folder = folder;
    return true;
}

void ReplacingFile::removeStaleTemporaries(const std::function<bool(std::string_view)>& isTemporary) const
{
    const int listFd = m_folderFd >= 0 ? ::openat(m_folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
    DIR* folder = listFd >= 0 ? ::fdopendir(listFd) : nullptr;
    if (!folder) {
        if (listFd >= 0)
            ::close(listFd);
        return;
    }
    while (const dirent* entry = ::readdir(folder))
        if (isTemporary(entry->d_name))
            removeIfStale(m_folderFd, entry->d_name);
    ::closedir(folder);
}

bool ReplacingFile::create(const std::string& prefix, Permissions permissions)
{
    if (m_folderFd < 0 || isOpen())
        return fail(EBADF);
    const mode_t mode = permissions == Permissions::OwnerOnly ? 0600 : 0666;
    for (int attempt = 0; attempt < kNameTries; ++attempt) {
        const std::string name = prefix + randomDigits() + std::string(kTemporaryEnd);
        m_fd = ::openat(m_folderFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (m_fd < 0 && errno != EEXIST)
            return fail(errno);
        if (m_fd < 0)
            continue;
        if (!lockNewFile(m_fd)) {
            closeDescriptor();
            continue;
        }
        // The umask may have taken away what a private file needs.
        if (permissions == Permissions::OwnerOnly && ::fchmod(m_fd, mode) != 0) {
            const int error = errno;
            ::unlinkat(m_folderFd, name.c_str(), 0);
            closeDescriptor();
            return fail(error);
        }
        m_temporaryName = name;
        m_temporaryPath = m_folder + '/' + name;
        return true;
    }
    return fail(EEXIST);
}

bool ReplacingFile::writeAt(std::uint64_t offset, const void* data, std::size_t bytes)
{
    if (!isOpen())
        return fail(EBADF);
    const auto* cursor = static_cast<const unsigned char*>(data);
    while (bytes > 0) {
        const ssize_t written = ::pwrite(m_fd, cursor, bytes, static_cast<off_t>(offset));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return fail(written < 0 ? errno : ENOSPC);
        cursor += written;
        offset += static_cast<std::uint64_t>(written);
        bytes -= static_cast<std::size_t>(written);
    }
    return true;
}

bool ReplacingFile::commit(const std::string& targetPath, bool durable)
{
    if (!isOpen())
        return fail(EBADF);
    bool ok = !durable || ::fsync(m_fd) == 0 || fail(errno);
    // A second descriptor keeps the lock past the close until the file has its name, so that no
    // other writer takes the complete file for a stale one meanwhile.
    const int lockFd = ::fcntl(m_fd, F_DUPFD_CLOEXEC, 0);
    ok = (closeDescriptor() || fail(errno)) && ok;
    ok = ok && (::renameat(m_folderFd, m_temporaryName.c_str(), AT_FDCWD, targetPath.c_str()) == 0 || fail(errno));
    if (!ok)
        discard();
    if (lockFd >= 0)
        ::close(lockFd);
    if (!ok)
        return false;
    m_temporaryName.clear();
    m_temporaryPath.clear();
    closeFolder();
    if (durable)
        syncFolder(folderOf(targetPath));
    return true;
}

void ReplacingFile::discard()
{
    // Removed while still locked: no other writer meets it half gone.
    if (!m_temporaryName.empty() && m_folderFd >= 0)
        ::unlinkat(m_folderFd, m_temporaryName.c_str(), 0);
    closeDescriptor();
    m_temporaryName.clear();
    m_temporaryPath.clear();
    closeFolder();
}

bool ReplacingFile::isTemporaryName(std::string_view name, std::string_view prefix)
{
    if (name.size() != prefix.size() + kRandomDigits + kTemporaryEnd.size() || !name.starts_with(prefix)
        || !name.ends_with(kTemporaryEnd))
        return false;
    const std::string_view digits = name.substr(prefix.size(), kRandomDigits);
    return std::all_of(digits.begin(), digits.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

bool ReplacingFile::fail(int error)
{
    if (m_error == 0)
        m_error = error;
    return false;
}

bool ReplacingFile::closeDescriptor()
{
    if (m_fd < 0)
        return true;
    const int result = ::close(m_fd);
    m_fd = -1;
    return result == 0;
}

void ReplacingFile::closeFolder()
{
    if (m_folderFd >= 0)
        ::close(m_folderFd);
    m_folderFd = -1;
    m_folder.clear();
}
