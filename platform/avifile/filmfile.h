// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The file-writing layer of the AVI file service. A film is written as a ReplacingFile: under a
// hidden temporary name beside its target, renamed over the target only when it is complete, so
// an earlier film of that name survives any failure. The first failure is latched: later writes
// are refused with it and commit() reports it.
//
// The temporary name is `.<film name>.<16 hex digits>.tmp`, with the film name cut short where
// the whole would be longer than the folder allows. A program killed meanwhile leaves it
// unlocked, and the next film of that name in that folder removes it. A locked one belongs to a
// film another program is writing and is left alone.

#include "platform/files/replacingfile.h"
#include "platform/wintypes.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace avifile {

class FilmFile {
public:
    FilmFile() = default;
    ~FilmFile();
    FilmFile(const FilmFile&) = delete;
    FilmFile& operator=(const FilmFile&) = delete;

    // AVIERR_FILEOPEN when no file can be created beside the target. Removes the stale temporary
    // files of this film name first.
    HRESULT create(const std::string& targetPath);
    HRESULT writeAt(std::uint64_t offset, const void* data, std::size_t bytes);
    // Flushes to disk and renames over the target; on failure the temporary file is removed.
    HRESULT commit();
    // Removes the temporary file; the target is not touched.
    void discard();

    HRESULT status() const { return m_status; }
    bool isOpen() const { return m_file.isOpen(); }
    const std::string& temporaryPath() const { return m_file.temporaryPath(); }

private:
    HRESULT latch(HRESULT failure);

    ReplacingFile m_file;
    std::string m_targetPath;
    HRESULT m_status = 0;
};

} // namespace avifile
