// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A photo file mapped read-only: the decoders get its bytes as a QByteArray that views the
// mapping, so only the pages they touch are ever read, and a large file that is no picture costs
// no more than what its format probes look at. Should someone cut the file short while it is
// mapped, the pages past its new end read as zeros (see MappingGuard) and wasCutShort() says so.

#include "imaging/gdiplus.h"
#include "filereading/mappingguard.h"

#include <QByteArray>

#include <memory>

class MappedFile {
public:
    // Opens the file named by the on-disk bytes `nativePath` without blocking (a FIFO or device
    // is refused on the open descriptor, never read). A file larger than `maxBytes` is refused
    // with OutOfMemory.
    static GpStatus open(const QByteArray& nativePath, qint64 maxBytes, std::unique_ptr<MappedFile>* file);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // The file's bytes, valid while this object lives. The array neither owns nor copies them:
    // anything that keeps it must keep this object too.
    const QByteArray& bytes() const { return m_bytes; }
    bool wasCutShort() const { return m_watch && m_watch->wasCut(); }

private:
    MappedFile() = default;

    void* m_base = nullptr;
    std::size_t m_length = 0;
    std::unique_ptr<MappingGuard::Watch> m_watch;
    QByteArray m_bytes;
};
