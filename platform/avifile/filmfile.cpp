// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/avifile/filmfile.h"

#include "platform/avifile/avifile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <filesystem>
#include <mutex>
#include <string_view>

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

// ".<film name>." starts the temporary names of a film. The film name is cut short where the
// whole temporary name would pass the folder's limit on names, before a UTF-8 character the
// cut would split.
std::string temporaryPrefix(const std::string& filmName, int folderFd)
{
    long nameLimit = ::fpathconf(folderFd, _PC_NAME_MAX);
    if (nameLimit <= 0)
        nameLimit = NAME_MAX;
    const std::size_t fixed = 2 + ReplacingFile::kRandomDigits + ReplacingFile::kTemporaryEnd.size();
    std::size_t keep = std::min(filmName.size(), std::max(std::size_t(nameLimit), fixed) - fixed);
    const auto continuation = [&filmName](std::size_t at) {
        return at < filmName.size() && (static_cast<unsigned char>(filmName[at]) & 0xC0) == 0x80;
    };
    for (int back = 0; back < 3 && keep > 0 && continuation(keep); ++back)
        --keep;
    return "." + filmName.substr(0, keep) + ".";
}

bool targetIsReplaceable(const std::filesystem::path& target)
{
    struct stat info {};
    if (::stat(target.c_str(), &info) != 0)
        return errno == ENOENT;
    return S_ISREG(info.st_mode) && ::access(target.c_str(), W_OK) == 0;
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
    const std::filesystem::path target(targetPath);
    if (!target.has_filename() || !targetIsReplaceable(target) || !m_file.openFolder(folderOf(target).string()))
        return AVIERR_FILEOPEN;
    const std::string prefix = temporaryPrefix(target.filename().string(), m_file.folderDescriptor());
    m_file.removeStaleTemporaries(
        [&prefix](std::string_view name) { return ReplacingFile::isTemporaryName(name, prefix); });
    if (!m_file.create(prefix, ReplacingFile::Permissions::Usual)) {
        m_file.discard();
        return AVIERR_FILEOPEN;
    }
    m_targetPath = targetPath;
    m_status = AVIERR_OK;
    return AVIERR_OK;
}

HRESULT FilmFile::writeAt(std::uint64_t offset, const void* data, std::size_t bytes)
{
    if (m_status != AVIERR_OK)
        return m_status;
    if (!isOpen() || writeFaultInjected(offset, bytes) || !m_file.writeAt(offset, data, bytes))
        return latch(AVIERR_FILEWRITE);
    return AVIERR_OK;
}

HRESULT FilmFile::commit()
{
    if (!isOpen())
        return m_status != AVIERR_OK ? m_status : AVIERR_FILEWRITE;
    if (m_status != AVIERR_OK) {
        m_file.discard();
        return m_status;
    }
    if (!m_file.commit(m_targetPath, true))
        return latch(AVIERR_FILEWRITE);
    return AVIERR_OK;
}

void FilmFile::discard()
{
    m_file.discard();
}

HRESULT FilmFile::latch(HRESULT failure)
{
    if (m_status == AVIERR_OK)
        m_status = failure;
    return m_status;
}

} // namespace avifile

void avifile::SetWriteFaultHookForTesting(WriteFaultHook hook)
{
    std::lock_guard lock(g_hookMutex);
    g_writeFaultHook = std::move(hook);
}
