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
// `path` made absolute against the current folder and cleaned of "." and ".." steps, every
// byte kept (QFileInfo::absoluteFilePath goes through Qt's own encoding for a relative path).
QString absolute(const QString& path);
// The current folder, every byte kept.
QString currentFolder();
// The path on disk of an absolute path as Qt's own classes show it (QFileDialog, QFileInfo):
// they decode names with QFile::decodeName, which turns each byte that is not UTF-8 into U+FFFD,
// so their path names no file. Each step that names nothing is matched among the names of its
// folder as Qt shows them. A folder step must match one name alone; a last step matched by
// several takes the first in byte order. Empty when a step matches nothing (or a folder step
// several).
QString fromShown(const QString& shown);

} // namespace LocalPath
