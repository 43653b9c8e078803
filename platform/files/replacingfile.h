// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A file that replaces another only once it is whole: written beside its target under a
// temporary name, then renamed over the target, so that a reader finds either the earlier file
// or the complete new one, and a failure leaves no trace. The temporary name is the caller's
// prefix, 16 hex digits and ".tmp". The file is locked (flock) while it is written: one that a
// killed program left behind is unlocked, and removeStaleTemporaries() takes it away, never one
// that another program holds. The folder is held open, so that the temporary file is removed
// even when the folder was moved away meanwhile.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class ReplacingFile {
public:
    // Exactly owner read and write (a private cache), or those of any new file, less the umask.
    enum class Permissions { OwnerOnly, Usual };

    static constexpr std::size_t kRandomDigits = 16;
    static constexpr std::string_view kTemporaryEnd = ".tmp";

    ReplacingFile() = default;
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Opens the folder the file is written in; comes first.
    bool openFolder(const std::string& folder);
    int folderDescriptor() const { return m_folderFd; }
    // Removes the temporary files of the folder that `isTemporary` names and nobody writes: regular
    // files of this user, unlocked.
    void removeStaleTemporaries(const std::function<bool(std::string_view name)>& isTemporary) const;
    // Creates the temporary file `prefix` + 16 hex digits + ".tmp" and locks it.
    bool create(const std::string& prefix, Permissions permissions);
    bool writeAt(std::uint64_t offset, const void* data, std::size_t bytes);
    // Renames the file over `targetPath` (named by its path: a folder moved away meanwhile does
    // not take the file along). With `durable` the file is flushed to disk first, and the rename
    // after. On failure the temporary file is removed.
    bool commit(const std::string& targetPath, bool durable);
    // Removes the temporary file; the target is not touched.
    void discard();

    bool isOpen() const { return m_fd >= 0; }
    // The errno of the first failure, 0 while there was none.
    int error() const { return m_error; }
    const std::string& temporaryPath() const { return m_temporaryPath; }

    // Whether `name` is exactly a name create() gives with `prefix`.
    static bool isTemporaryName(std::string_view name, std::string_view prefix);

private:
    bool fail(int error);
    bool closeDescriptor();
    void closeFolder();

    int m_fd = -1;
    int m_folderFd = -1;
    int m_error = 0;
    std::string m_folder;
    std::string m_temporaryName;
    std::string m_temporaryPath;
};
