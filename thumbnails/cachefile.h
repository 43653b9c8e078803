// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// File operations for a cache folder that other programs share: paths are the exact bytes on
// disk, reads are bounded and never block on something that is not a regular file, writes replace
// a file whole or leave nothing behind.

#include <QByteArray>
#include <QSet>

#include <mutex>

namespace CacheFile {

// Folders named so far in this run; thread-safe. For what is done once a run for each folder.
class FolderSet {
public:
    // True when `folder` was not in the set (it is now).
    bool insert(const QByteArray& folder);

private:
    std::mutex m_mutex;
    QSet<QByteArray> m_folders;
};

// The content of the regular file at `path`, opened without following a symbolic link in its last
// component and without blocking; false when it is anything else or larger than `maxBytes`.
bool read(const QByteArray& path, qint64 maxBytes, QByteArray* data);
// Makes `folder` and each missing parent, mode 0700.
bool makeFolders(const QByteArray& folder);
// True when `folder` is missing (it is then made 0700) or is a folder of this user that neither
// group nor others may write: one where nobody else can plant or swap entries.
bool isPrivateFolder(const QByteArray& folder);
// Writes `data` to folder/name through a 0600 file under a temporary name in the same folder,
// renamed over `name` once complete (making missing folders 0700); on failure nothing is left.
// The first write into a folder removes the temporary files (`<name>.strevio-<pid>-<digits>.tmp`)
// that runs killed meanwhile left there: those whose process is gone and that nobody holds.
bool replace(const QByteArray& folder, const QByteArray& name, const QByteArray& data);

} // namespace CacheFile
