// SPDX-License-Identifier: GPL-2.0-or-later
#include "filereading/mappedfile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

GpStatus openFailure(int error)
{
    return error == ENOENT || error == ENOTDIR ? InvalidParameter : AccessDenied;
}

struct Descriptor {
    explicit Descriptor(int descriptor) : fd(descriptor) {}
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
    int fd;
};

} // namespace

GpStatus MappedFile::open(const QByteArray& nativePath, qint64 maxBytes, std::unique_ptr<MappedFile>* file)
{
    if (nativePath.isEmpty())
        return InvalidParameter;
    const Descriptor descriptor(::open(nativePath.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (descriptor.fd < 0)
        return openFailure(errno);
    struct stat st {};
    if (::fstat(descriptor.fd, &st) != 0 || !S_ISREG(st.st_mode))
        return InvalidParameter;
    if (st.st_size > maxBytes)
        return OutOfMemory;
    std::unique_ptr<MappedFile> mapped(new (std::nothrow) MappedFile);
    if (!mapped)
        return OutOfMemory;
    if (st.st_size > 0) {
        const auto length = std::size_t(st.st_size);
        void* base = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE, descriptor.fd, 0);
        if (base == MAP_FAILED)
            return errno == ENOMEM ? OutOfMemory : Win32Error;
        mapped->m_base = base;
        mapped->m_length = length;
        mapped->m_watch.reset(new (std::nothrow) MappingGuard::Watch(base, length));
        if (!mapped->m_watch || !mapped->m_watch->isWatching())
            return OutOfMemory;
        mapped->m_bytes = QByteArray::fromRawData(static_cast<const char*>(base), qsizetype(length));
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
}
