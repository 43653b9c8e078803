#include "platform/avifile/filmfile.h"

#include "platform/avifile/avifile.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <random>

#include <fcntl.h>
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

std::string randomSuffix()
{
    static std::mt19937_64 generator{std::random_device{}()};
    static std::mutex generatorMutex;
    std::lock_guard lock(generatorMutex);
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(generator()));
    return text;
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
    for (int attempt = 0; m_folderFd >= 0 && attempt < 16; ++attempt) {
        const std::string name = "." + target.filename().string() + "." + randomSuffix() + ".tmp";
        m_fd = ::openat(m_folderFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd >= 0) {
            m_targetPath = targetPath;
            m_temporaryPath = (folder / name).string();
            m_temporaryName = name;
            m_status = AVIERR_OK;
            return AVIERR_OK;
        }
        if (errno != EEXIST)
            break;
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
    if (!closeDescriptor())
        latch(AVIERR_FILEWRITE);
    // The target is named by its path: a folder moved away meanwhile does not take the film along.
    if (m_status == AVIERR_OK
        && ::renameat(m_folderFd, m_temporaryName.c_str(), AT_FDCWD, m_targetPath.c_str()) != 0)
        latch(AVIERR_FILEWRITE);
    if (m_status != AVIERR_OK) {
        discard();
        return m_status;
    }
    m_temporaryPath.clear();
    m_temporaryName.clear();
    closeFolder();
    syncFolder(folderOf(m_targetPath));
    return AVIERR_OK;
}

void FilmFile::discard()
{
    closeDescriptor();
    if (!m_temporaryName.empty() && m_folderFd >= 0)
        ::unlinkat(m_folderFd, m_temporaryName.c_str(), 0);
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
