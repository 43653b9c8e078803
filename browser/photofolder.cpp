// SPDX-License-Identifier: GPL-2.0-or-later
#include "browser/photofolder.h"

#include "platform/paths/localpath.h"

#include <algorithm>
#include <array>
#include <dirent.h>
#include <sys/stat.h>

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

bool IsRegularFile(const QString& path)
{
    struct stat st {};
    return ::stat(LocalPath::encode(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

QStringList ReadNames(const QString& folder)
{
    QStringList names;
    const QString directory = folder.isEmpty() ? QStringLiteral("/") : folder;
    DIR* dir = ::opendir(LocalPath::encode(directory).constData());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir))
        names.append(LocalPath::decode(QByteArray(entry->d_name)));
    ::closedir(dir);
    return names;
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

std::int32_t Scan(const QString& folder, const QString& extension, QStringList& photos)
{
    QStringList names = ReadNames(folder);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) { return NaturalCompare(a, b) < 0; });
    const QString suffix = extension.isEmpty() ? QString() : QLatin1Char('.') + extension;
    std::int32_t count = 0;
    for (const QString& name : names) {
        if (name == QLatin1String(".") || name == QLatin1String("..") || name.startsWith(QLatin1Char('.')))
            continue;
        if (!suffix.isEmpty() && !name.endsWith(suffix, Qt::CaseInsensitive))
            continue;
        const QString path = folder + QLatin1Char('/') + name;
        if (!IsPhotoExtension(Extension(path)) || !IsRegularFile(path))
            continue;
        photos.append(path);
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
