// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// File names on Linux are bytes, usually UTF-8 but not always: names copied from older systems
// or archives may hold Latin-1 or broken sequences. The program keeps paths as QString, so a
// name must reach the QString and come back to the very same bytes. Valid UTF-8 is decoded as
// usual; each byte of an invalid sequence becomes the lone surrogate U+DC00 + byte (the
// "surrogateescape" convention), which no valid UTF-8 name can produce, and goes back to its
// byte on the way out. Qt's own file classes do not know this convention: every file operation
// takes its name from LocalPath::encode.

#include <QByteArray>
#include <QString>

namespace LocalPath {

// The name of `path` on disk.
QByteArray encode(const QString& path);
// The path of an on-disk name, every byte kept.
QString decode(const QByteArray& bytes);
// Text fit to be shown: escaped bytes and other lone surrogates as U+FFFD, control characters
// (tab, newline, ...) as their visible Control Pictures symbols.
QString display(const QString& text);
// True when `path` holds an escaped byte, so that only LocalPath::encode names its file.
bool hasEscapedBytes(const QString& path);
// `path` made absolute against the current folder, "." and ".." steps and repeated slashes
// taken away on the names alone (links are not followed), as GLib does, every byte kept; empty
// for an empty path or when there is no current folder.
QString absolute(const QString& path);
// The same for an on-disk name: the path other programs hash for the desktop's thumbnails.
QByteArray absoluteName(const QByteArray& name);
// The on-disk name with every link resolved (realpath), so that two names of the same place
// compare equal; the part that does not exist (yet) is kept as absoluteName() gives it.
QByteArray resolvedName(const QByteArray& name);
// The current folder, every byte kept.
QString currentFolder();
// The path on disk of an absolute path as Qt's own classes show it (QFileDialog, QFileInfo):
// they decode names with QFile::decodeName, which turns each byte that is not UTF-8 into U+FFFD,
// so their path names no file. Each step that names nothing is matched among the names of its
// folder as Qt shows them. A folder step must match one name alone; a last step matched by
// several takes the first in byte order. Empty when a step matches nothing (or a folder step
// several).
QString fromShown(const QString& shown);
QByteArray currentFolderName();

} // namespace LocalPath
