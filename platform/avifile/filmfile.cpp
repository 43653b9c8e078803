// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/avifile/filmfile.h"

#include "platform/avifile/avifile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <random>
#include <string_view>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace avifile {

namespace {

std::mutex g_hookMutex;
WriteFaultHook g_writeFaultHook;

bool writeFaultInjected(std::uint64_t offset, std::uint64_t bytes)
{
    WriteFaultHook hook;
    {
        std::lock_guard lock(g_hookMutex);
        hook = g_writeFaultHook;
    }
    return hook && hook(offset, bytes);
}

std::filesystem::path folderOf(const std::filesystem::path& file)
{
    return file.parent_path().empty() ? std::filesystem::path(".") : file.parent_path();
}

constexpr std::size_t kSuffixDigits = 16;
constexpr std::string_view kTemporaryEnd = ".tmp";

std::string randomSuffix()
{
    static std::mt19937_64 generator{std::random_device{}()};
    static std::mutex generatorMutex;
    std::lock_guard lock(generatorMutex);
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(generator()));
    return text;
}

// ".<film name>." starts the temporary names of a film. The film name is cut short where the
// whole temporary name would pass the folder's limit on names, before a UTF-8 character the
// cut would split.
std::string temporaryPrefix(const std::string& filmName, int folderFd)
{
    long nameLimit = ::fpathconf(folderFd, _PC_NAME_MAX);
    if (nameLimit <= 0)
        nameLimit = NAME_MAX;
    const std::size_t fixed = 2 + kSuffixDigits + kTemporaryEnd.size();
    std::size_t keep = std::min(filmName.size(), std::max(std::size_t(nameLimit), fixed) - fixed);
    const auto continuation = [&filmName](std::size_t at) {
        return at < filmName.size() && (static_cast<unsigned char>(filmName[at]) & 0xC0) == 0x80;
    };
    for (int back = 0; back < 3 && keep > 0 && continuation(keep); ++back)
        --keep;
    return "." + filmName.substr(0, keep) + ".";
}

// Exactly the names create() gives for the film whose names start with `prefix`.
bool isTemporaryName(std::string_view name, std::string_view prefix)
{
    if (name.size() != prefix.size() + kSuffixDigits + kTemporaryEnd.size() || !name.starts_with(prefix)
        || !name.ends_with(kTemporaryEnd))
        return false;
    const std::string_view digits = name.substr(prefix.size(), kSuffixDigits);
    return std::all_of(digits.begin(), digits.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// A film being written holds a lock on its temporary file; an unlocked one was left by a program
// that was killed or lost its power. Only a regular file is opened, and never through a link; it
// is opened for writing because NFS grants an exclusive lock only so, and never written.
void removeIfStale(int folderFd, const char* name)
{
    struct stat named {};
    if (::fstatat(folderFd, name, &named, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(named.st_mode))
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

void removeStaleTemporaries(int folderFd, const std::string& prefix)
{
    const int listFd = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* folder = listFd >= 0 ? ::fdopendir(listFd) : nullptr;
    if (!folder) {
        if (listFd >= 0)
            ::close(listFd);
        return;
    }
    while (const dirent* entry = ::readdir(folder))
        if (isTemporaryName(entry->d_name, prefix))
            removeIfStale(folderFd, entry->d_name);
    ::closedir(folder);
}

// The lock marks the file as being written. A lock that is refused means another film of this
// name is checking the new file as a stale one, and one that came too late finds it removed:
// either way the caller tries another name. A file system without locks writes films unlocked.
bool lockNewFile(int fd)
{
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return errno != EWOULDBLOCK;
    struct stat info {};
    return ::fstat(fd, &info) == 0 && info.st_nlink > 0;
}

bool targetIsReplaceable(const std::filesystem::path& target)
{
    struct stat info {};
    if (::stat(target.c_str(), &info) != 0)
        return errno == ENOENT;
    return S_ISREG(info.st_mode) && ::access(target.c_str(), W_OK) == 0;
}

void syncFolder(const std::filesystem::path& folder)
{
    // Makes the rename durable; a folder that refuses fsync leaves a complete film all the same.
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    (void)::fsync(fd);
    ::close(fd);
}

} // namespace

FilmFile::~FilmFile()
{
    discard();
}

HRESULT FilmFile::create(const std::string& targetPath)
{
    if (isOpen() || targetPath.empty())
        return AVIERR_FILEOPEN;
    std::filesystem::path target(targetPath);
    if (!target.has_filename() || !targetIsReplaceable(target))
        return AVIERR_FILEOPEN;
    std::filesystem::path folder = folderOf(target);
    m_folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_folderFd < 0)
        return AVIERR_FILEOPEN;
    const std::string prefix = temporaryPrefix(target.filename().string(), m_folderFd);
    removeStaleTemporaries(m_folderFd, prefix);
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string name = prefix + randomSuffix() + std::string(kTemporaryEnd);
        m_fd = ::openat(m_folderFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd < 0 && errno != EEXIST)
            break;
        if (m_fd < 0)
            continue;
        if (lockNewFile(m_fd)) {
            m_targetPath = targetPath;
            m_temporaryPath = (folder / name).string();
            m_temporaryName = name;
            m_status = AVIERR_OK;
            return AVIERR_OK;
        }
        closeDescriptor();
    }
    closeFolder();
    return AVIERR_FILEOPEN;
}

HRESULT FilmFile::writeAt(std::uint64_t offset, const void* data, std::size_t bytes)
{
    if (m_status != AVIERR_OK)
        return m_status;
    if (!isOpen())
        return latch(AVIERR_FILEWRITE);
    if (writeFaultInjected(offset, bytes))
        return latch(AVIERR_FILEWRITE);
    const auto* cursor = static_cast<const std::uint8_t*>(data);
    while (bytes > 0) {
        ssize_t written = ::pwrite(m_fd, cursor, bytes, static_cast<off_t>(offset));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return latch(AVIERR_FILEWRITE);
        cursor += written;
        offset += static_cast<std::uint64_t>(written);
        bytes -= static_cast<std::size_t>(written);
    }
    return AVIERR_OK;
}

HRESULT FilmFile::commit()
{
    if (!isOpen())
        return m_status != AVIERR_OK ? m_status : AVIERR_FILEWRITE;
    if (m_status == AVIERR_OK && ::fsync(m_fd) != 0)
        latch(AVIERR_FILEWRITE);
    // A second descriptor keeps the lock past the close until the film has its name, so that no
    // other film of this name takes the complete file for a stale one meanwhile.
    const int lockFd = ::fcntl(m_fd, F_DUPFD_CLOEXEC, 0);
    if (!closeDescriptor())
        latch(AVIERR_FILEWRITE);
    // The target is named by its path: a folder moved away meanwhile does not take the film along.
    if (m_status == AVIERR_OK
        && ::renameat(m_folderFd, m_temporaryName.c_str(), AT_FDCWD, m_targetPath.c_str()) != 0)
        latch(AVIERR_FILEWRITE);
    if (m_status != AVIERR_OK)
        discard();
    if (lockFd >= 0)
        ::close(lockFd);
    if (m_status != AVIERR_OK)
        return m_status;
    m_temporaryPath.clear();
    m_temporaryName.clear();
    closeFolder();
    syncFolder(folderOf(m_targetPath));
    return AVIERR_OK;
}

void FilmFile::discard()
{
    // Removed while still locked: no other film of this name meets it half gone.
    if (!m_temporaryName.empty() && m_folderFd >= 0)
        ::unlinkat(m_folderFd, m_temporaryName.c_str(), 0);
    closeDescriptor();
    m_temporaryPath.clear();
    m_temporaryName.clear();
    closeFolder();
}

HRESULT FilmFile::latch(HRESULT failure)
{
    if (m_status == AVIERR_OK)
        m_status = failure;
    return m_status;
}

bool FilmFile::closeDescriptor()
{
    if (m_fd < 0)
        return true;
    int result = ::close(m_fd);
    m_fd = -1;
    return result == 0;
}

void FilmFile::closeFolder()
{
    if (m_folderFd >= 0)
        ::close(m_folderFd);
    m_folderFd = -1;
}

} // namespace avifile

void avifile::SetWriteFaultHookForTesting(WriteFaultHook hook)
{
    std::lock_guard lock(g_hookMutex);
    g_writeFaultHook = std::move(hook);
}
