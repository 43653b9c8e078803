// SPDX-License-Identifier: GPL-2.0-or-later
#include "filereading/mappedfile.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace {

std::atomic<MappedFile::MappingHook> g_mappingHook{nullptr};

GpStatus openFailure(int error, DecodeFault* fault)
{
    *fault = DecodeFault(DecodeFault::Kind::Unreadable, QString::fromLocal8Bit(std::strerror(error)));
    return error == ENOENT || error == ENOTDIR ? InvalidParameter : AccessDenied;
}

struct Descriptor {
    explicit Descriptor(int descriptor) : fd(descriptor) {}
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
    int release() { return std::exchange(fd, -1); }
    int fd;
};

} // namespace

GpStatus MappedFile::open(const QByteArray& nativePath, qint64 maxBytes, std::unique_ptr<MappedFile>* file,
                          DecodeFault* fault)
{
    if (nativePath.isEmpty())
        return InvalidParameter;
    Descriptor descriptor(::open(nativePath.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (descriptor.fd < 0)
        return openFailure(errno, fault);
    struct stat st {};
    if (::fstat(descriptor.fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        *fault = DecodeFault(DecodeFault::Kind::Unreadable, QStringLiteral("not a regular file"));
        return InvalidParameter;
    }
    if (st.st_size > maxBytes) {
        *fault = DecodeFault(DecodeFault::Kind::TooLarge, QStringLiteral("%1 bytes").arg(st.st_size));
        return OutOfMemory;
    }
    const auto noMemory = [fault](const char* what) {
        *fault = DecodeFault(DecodeFault::Kind::NoResources, QString::fromLatin1(what));
        return OutOfMemory;
    };
    std::unique_ptr<MappedFile> mapped(new (std::nothrow) MappedFile);
    if (!mapped)
        return noMemory("no memory");
    if (st.st_size > 0) {
        const auto length = std::size_t(st.st_size);
        void* base = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE, descriptor.fd, 0);
        if (base == MAP_FAILED) {
            const int error = errno;
            if (error == ENOMEM)
                return noMemory("the file cannot be mapped into memory");
            *fault = DecodeFault(DecodeFault::Kind::Unreadable, QString::fromLocal8Bit(std::strerror(error)));
            return Win32Error;
        }
        mapped->m_base = base;
        mapped->m_length = length;
        mapped->m_watch.reset(new (std::nothrow) MappingGuard::Watch(base, length));
        if (!mapped->m_watch || !mapped->m_watch->isWatching())
            return noMemory("no room to watch the mapping");
        if (const MappingHook hook = g_mappingHook.load(); hook && hook(base, length) == ENOMEM)
            return noMemory("the file cannot be mapped into memory");
        mapped->m_bytes = QByteArray::fromRawData(static_cast<const char*>(base), qsizetype(length));
        mapped->m_fd = descriptor.release();
    }
    *file = std::move(mapped);
    return Ok;
}

MappedFile::~MappedFile()
{
    m_bytes.clear();
    m_watch.reset();
    if (m_base)
        ::munmap(m_base, m_length);
    if (m_fd >= 0)
        ::close(m_fd);
}

DecodeFault MappedFile::readFault() const
{
    if (!wasCutShort())
        return DecodeFault();
    // A page past the end of the file is what a file cut short gives; a page within it was not read.
    struct stat st {};
    const std::size_t firstZeroPage = m_watch->firstCutOffset();
    if (m_fd >= 0 && ::fstat(m_fd, &st) == 0 && std::uint64_t(st.st_size) <= firstZeroPage)
        return DecodeFault(DecodeFault::Kind::CutShort, QStringLiteral("the file shrank while it was read"));
    return DecodeFault(DecodeFault::Kind::ReadError, QStringLiteral("a part of the file could not be read"));
}

void MappedFile::setMappingHookForTesting(MappingHook hook)
{
    g_mappingHook.store(hook);
}
