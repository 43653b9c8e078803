// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A photo file mapped read-only: the decoders get its bytes as a QByteArray that views the
// mapping, so only the pages they touch are ever read, and a large file that is no picture costs
// no more than what its format probes look at. Should someone cut the file short while it is
// mapped, the pages past its new end read as zeros (see MappingGuard) and wasCutShort() says so;
// a page the kernel could not read (an input/output error) reads as zeros too, and readFault()
// tells the two apart.

#include "imaging/decodefault.h"
#include "imaging/gdiplus.h"
#include "filereading/mappingguard.h"

#include <QByteArray>

#include <memory>

class MappedFile {
public:
    // Opens the file named by the on-disk bytes `nativePath` without blocking (a FIFO or device
    // is refused on the open descriptor, never read). A file larger than `maxBytes` is refused
    // with OutOfMemory. `fault` says why the file could not be mapped: a want of memory or of
    // guard slots passes, a missing or unreadable file may.
    static GpStatus open(const QByteArray& nativePath, qint64 maxBytes, std::unique_ptr<MappedFile>* file,
                         DecodeFault* fault);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // The file's bytes, valid while this object lives. The array neither owns nor copies them:
    // anything that keeps it must keep this object too.
    const QByteArray& bytes() const { return m_bytes; }
    bool wasCutShort() const { return m_watch && m_watch->wasCut(); }
    // Kind::None while every byte read was the file's; CutShort when the file now ends before the
    // first page that read as zeros, ReadError when it does not (the page could not be read).
    DecodeFault readFault() const;

    // Called with each new mapping once it is watched, before it is read; ENOMEM makes the open
    // fail as a mapping refused for want of memory. Tests inject faults with it; null removes it.
    using MappingHook = int (*)(const void* base, std::size_t length);
    static void setMappingHookForTesting(MappingHook hook);

private:
    MappedFile() = default;

    int m_fd = -1; // kept to tell a file cut short from a read error
    void* m_base = nullptr;
    std::size_t m_length = 0;
    std::unique_ptr<MappingGuard::Watch> m_watch;
    QByteArray m_bytes;
};
