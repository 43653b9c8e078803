// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Faults injected under a photo's mapping: a mapping refused for want of memory, and a page the
// kernel could not read.

#include "filereading/mappedfile.h"

#include <cerrno>
#include <csignal>
#include <cstddef>

#include <sys/syscall.h>
#include <unistd.h>

namespace MappingFaults {

// The kernel's word for a page it could not read: SIGBUS at an address inside the file (its
// second page), sent to this very thread as the kernel sends it. Files of two pages or less are
// left alone.
inline int failSecondPage(const void* base, std::size_t length)
{
    if (length <= 8192)
        return 0;
    siginfo_t info {};
    info.si_signo = SIGBUS;
    info.si_code = BUS_ADRERR;
    info.si_addr = const_cast<char*>(static_cast<const char*>(base)) + 4096;
    return ::syscall(SYS_rt_tgsigqueueinfo, ::getpid(), ::gettid(), SIGBUS, &info) == 0 ? 0 : errno;
}

inline int refuseMemory(const void*, std::size_t)
{
    return ENOMEM;
}

// Sets the hook for the scope; null leaves mappings alone.
struct Scope {
    explicit Scope(MappedFile::MappingHook hook) { MappedFile::setMappingHookForTesting(hook); }
    ~Scope() { MappedFile::setMappingHookForTesting(nullptr); }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;
};

} // namespace MappingFaults
