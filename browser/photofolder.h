// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Finds the photos of a folder and splits paths into folder, file name and extension. Paths use
// '/' between folders; a folder is given without a trailing '/' (the root folder is the empty
// string).

#include "platform/files/filestamp.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace PhotoFolder {

// Appends to `photos` the full path of every photo of `folder`, in the order a file manager shows
// them (case-insensitive natural order), and returns how many it appended. With a non-empty
// `extension` only names ending in "." and that extension are examined. Only regular files (after
// following links) whose name does not begin with '.' and whose upper-cased extension is one of
// JPG, BMP, GIF, TIF, PNG, CUR, WMF, EMF, ICO are taken. A folder that cannot be read gives 0.
// `stamps`, when given, receives the state of each photo appended, as the scan found it.
std::int32_t Scan(const QString& folder, const QString& extension, QStringList& photos,
                  std::vector<FileStamp>* stamps = nullptr);

QString Extension(const QString& path); // after the last '.', or empty
QString Folder(const QString& path);    // before the last '/', or empty
QString FileName(const QString& path);  // after the last '/', or empty

// Natural order: runs of digits compare by value, other characters case-insensitively, ties by
// the names' bytes. Negative, 0 or positive, as strcmp.
int NaturalCompare(const QString& a, const QString& b);

} // namespace PhotoFolder
