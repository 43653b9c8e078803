// SPDX-License-Identifier: GPL-2.0-or-later
#include "browser/photofolder.h"

#include "platform/paths/localpath.h"

#include <algorithm>
#include <array>
#include <dirent.h>

namespace PhotoFolder {

namespace {
constexpr std::array<const char*, 9> kPhotoExtensions = {"JPG", "BMP", "GIF", "TIF", "PNG",
                                                         "CUR", "WMF", "EMF", "ICO"};

bool IsPhotoExtension(const QString& extension)
{
    const QString upper = extension.toUpper();
    return std::any_of(kPhotoExtensions.begin(), kPhotoExtensions.end(),
                       [&upper](const char* e) { return upper == QLatin1String(e); });
}

// A name of the folder as read from disk, and as the program shows and sorts it.
struct FolderEntry {
    QByteArray bytes;
    QString name;
};

std::vector<FolderEntry> ReadNames(const QByteArray& directory)
{
    std::vector<FolderEntry> entries;
    DIR* dir = ::opendir(directory.isEmpty() ? "/" : directory.constData());
    if (!dir)
        return entries;
    while (const dirent* entry = ::readdir(dir)) {
        QByteArray bytes(entry->d_name);
        QString name = LocalPath::decode(bytes);
        entries.push_back(FolderEntry{std::move(bytes), std::move(name)});
    }
    ::closedir(dir);
    return entries;
}

// Compares two runs of digits by value, longer (after leading zeros) meaning larger.
int CompareNumbers(QStringView a, QStringView b)
{
    while (a.size() > 1 && a.front() == QLatin1Char('0'))
        a = a.mid(1);
    while (b.size() > 1 && b.front() == QLatin1Char('0'))
        b = b.mid(1);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

// Only ASCII digits make numbers, as in GLib's file-name collation. Counting the digits of other
// scripts as numbers too made the order go round in circles ("q51" < "\u06F4" < "025" < "q51"),
// which std::sort must never be given.
bool IsNumberDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

qsizetype DigitRunEnd(const QString& s, qsizetype i)
{
    while (i < s.size() && IsNumberDigit(s[i]))
        ++i;
    return i;
}
} // namespace

int NaturalCompare(const QString& a, const QString& b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsNumberDigit(a[i]) && IsNumberDigit(b[j])) {
            const qsizetype endA = DigitRunEnd(a, i);
            const qsizetype endB = DigitRunEnd(b, j);
            if (int c = CompareNumbers(QStringView(a).mid(i, endA - i), QStringView(b).mid(j, endB - j)))
                return c;
            i = endA;
            j = endB;
            continue;
        }
        const QChar ca = a[i].toCaseFolded();
        const QChar cb = b[j].toCaseFolded();
        if (ca != cb)
            return ca < cb ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size())
        return i < a.size() ? 1 : -1;
    // The names on disk: each escaped byte is its own byte here, not a replacement character.
    const QByteArray bytesA = LocalPath::encode(a);
    const QByteArray bytesB = LocalPath::encode(b);
    if (bytesA != bytesB)
        return bytesA < bytesB ? -1 : 1;
    // Only strings that were never names on disk (a lone high surrogate) share their bytes.
    return a.compare(b);
}

std::int32_t Scan(const QString& folder, const QString& extension, QStringList& photos,
                  std::vector<FileStamp>* stamps)
{
    // Each name is encoded once, by the folder's read; the one stat that tells a regular file also
    // gives its state.
    const QByteArray directory = LocalPath::encode(folder);
    std::vector<FolderEntry> entries = ReadNames(directory);
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return NaturalCompare(a.name, b.name) < 0; });
    const QString suffix = extension.isEmpty() ? QString() : QLatin1Char('.') + extension;
    std::int32_t count = 0;
    for (const FolderEntry& entry : entries) {
        const QString& name = entry.name;
        if (name.startsWith(QLatin1Char('.')))
            continue;
        if (!suffix.isEmpty() && !name.endsWith(suffix, Qt::CaseInsensitive))
            continue;
        if (!IsPhotoExtension(Extension(name)))
            continue;
        const FileStamp stamp = FileStamp::ofName((directory + '/' + entry.bytes).constData());
        if (!stamp.valid())
            continue;
        photos.append(folder + QLatin1Char('/') + name);
        if (stamps)
            stamps->push_back(stamp);
        ++count;
    }
    return count;
}

QString Extension(const QString& path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : path.mid(dot + 1);
}

QString Folder(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash);
}

QString FileName(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.mid(slash + 1);
}

} // namespace PhotoFolder
