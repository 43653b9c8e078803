// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/paths/localpath.h"

#include <QDir>
#include <QFile>
#include <QList>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace LocalPath {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;
constexpr char16_t kFirstEscape = 0xDC80;
constexpr char16_t kLastEscape = 0xDCFF;
constexpr char16_t kReplacement = 0xFFFD;
constexpr char16_t kControlPictures = 0x2400;
constexpr char16_t kDeletePicture = 0x2421;

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// Length of the well-formed UTF-8 sequence at `at`, or 0 (RFC 3629: no overlong forms, no
// surrogates, nothing past U+10FFFF).
int sequenceLength(const unsigned char* s, qsizetype at, qsizetype size)
{
    const unsigned char lead = s[at];
    if (lead < 0x80)
        return 1;
    int length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (at + length > size || s[at + 1] < low || s[at + 1] > high)
        return 0;
    for (int i = 2; i < length; ++i)
        if (!isContinuation(s[at + i]))
            return 0;
    return length;
}

bool isEscape(QChar c)
{
    return c.unicode() >= kFirstEscape && c.unicode() <= kLastEscape;
}

// An escape is a low surrogate that does not end a surrogate pair.
bool isEscapeAt(const QString& text, qsizetype i)
{
    return isEscape(text[i]) && !(i > 0 && text[i - 1].isHighSurrogate());
}

} // namespace

bool hasEscapedBytes(const QString& path)
{
    for (qsizetype i = 0; i < path.size(); ++i)
        if (isEscapeAt(path, i))
            return true;
    return false;
}

QByteArray encode(const QString& path)
{
    if (!hasEscapedBytes(path))
        return path.toUtf8();
    QByteArray bytes;
    bytes.reserve(path.size() * 3);
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (!isEscapeAt(path, i))
            continue;
        bytes += QStringView(path).mid(runStart, i - runStart).toUtf8();
        bytes += char(path[i].unicode() - kEscapeBase);
        runStart = i + 1;
    }
    bytes += QStringView(path).mid(runStart).toUtf8();
    return bytes;
}

QString decode(const QByteArray& bytes)
{
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype size = bytes.size();
    QString text;
    text.reserve(size);
    qsizetype runStart = 0;
    qsizetype i = 0;
    while (i < size) {
        if (const int length = sequenceLength(s, i, size)) {
            i += length;
            continue;
        }
        text += QString::fromUtf8(bytes.constData() + runStart, i - runStart);
        text += QChar(char16_t(kEscapeBase + s[i]));
        runStart = ++i;
    }
    text += QString::fromUtf8(bytes.constData() + runStart, size - runStart);
    return text;
}

QString display(const QString& text)
{
    QString shown = text;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const char16_t c = shown[i].unicode();
        if (c < 0x20)
            shown[i] = QChar(char16_t(kControlPictures + c));
        else if (c == 0x7F)
            shown[i] = QChar(kDeletePicture);
        else if (shown[i].isHighSurrogate() && (i + 1 == shown.size() || !shown[i + 1].isLowSurrogate()))
            shown[i] = QChar(kReplacement);
        else if (shown[i].isLowSurrogate() && (i == 0 || !text[i - 1].isHighSurrogate()))
            shown[i] = QChar(kReplacement);
    }
    return shown;
}

QString currentFolder()
{
    return decode(currentFolderName());
}

QByteArray currentFolderName()
{
    const std::unique_ptr<char, decltype(&std::free)> folder(::getcwd(nullptr, 0), &std::free);
    return folder ? QByteArray(folder.get()) : QByteArray();
}

QByteArray absoluteName(const QByteArray& name)
{
    if (name.isEmpty())
        return QByteArray();
    QByteArray bytes = name;
    if (!bytes.startsWith('/')) {
        const QByteArray current = currentFolderName();
        if (current.isEmpty())
            return QByteArray();
        bytes = current + '/' + bytes;
    }
    QList<QByteArray> kept;
    for (const QByteArray& part : bytes.split('/')) {
        if (part == "..") {
            if (!kept.isEmpty())
                kept.removeLast();
        } else if (!part.isEmpty() && part != ".") {
            kept.append(part);
        }
    }
    // POSIX leaves the meaning of exactly two leading slashes open, so they are kept.
    const bool twoSlashes = bytes.startsWith("//") && !bytes.startsWith("///");
    return (twoSlashes ? "//" : "/") + kept.join('/');
}

QString absolute(const QString& path)
{
    return decode(absoluteName(encode(path)));
}

QByteArray resolvedName(const QByteArray& name)
{
    QByteArray existing = absoluteName(name);
    QByteArray rest;
    while (!existing.isEmpty()) {
        const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(existing.constData(), nullptr), &std::free);
        if (resolved)
            return QByteArray(resolved.get()) + rest;
        const qsizetype slash = existing.lastIndexOf('/');
        if (slash <= 0)
            break;
        rest.prepend(existing.mid(slash));
        existing.truncate(slash);
    }
    return absoluteName(name);
}

QString fromShown(const QString& shown)
{
    if (!shown.startsWith(QLatin1Char('/')))
        return QString();
    const QStringList steps = QDir::cleanPath(shown).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString path;
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const QString step = path + QLatin1Char('/') + steps[i];
        struct stat st {};
        if (::lstat(encode(step).constData(), &st) == 0) {
            path = step;
            continue;
        }
        const QByteArray folder = path.isEmpty() ? QByteArrayLiteral("/") : encode(path);
        DIR* listing = ::opendir(folder.constData());
        if (!listing)
            return QString();
        std::vector<QByteArray> matches;
        while (const dirent* entry = ::readdir(listing))
            if (QFile::decodeName(entry->d_name) == steps[i])
                matches.emplace_back(entry->d_name);
        ::closedir(listing);
        if (matches.empty() || (matches.size() > 1 && i + 1 < steps.size()))
            return QString();
        path += QLatin1Char('/') + decode(*std::min_element(matches.begin(), matches.end()));
    }
    return path.isEmpty() ? QStringLiteral("/") : path;
}

} // namespace LocalPath
