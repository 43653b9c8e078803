// SPDX-License-Identifier: GPL-2.0-or-later
// Arbitrary names through the path operations of the folder scan. The input holds up to three
// names separated by NUL bytes, decoded as the scan decodes the bytes it reads from a folder
// (invalid UTF-8 as escaped bytes); the split and the order must keep their promises for any of
// them.

#include "browser/photofolder.h"
#include "platform/paths/localpath.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char* what, const QString& a, const QString& b = QString(), const QString& c = QString())
{
    std::fprintf(stderr, "%s: \"%s\" \"%s\" \"%s\"\n", what, LocalPath::encode(a).toHex().constData(),
                 LocalPath::encode(b).toHex().constData(), LocalPath::encode(c).toHex().constData());
    std::abort();
}

int sign(int value)
{
    return (value > 0) - (value < 0);
}

void checkSplit(const QString& path)
{
    const QString extension = PhotoFolder::Extension(path);
    if (path.contains(QLatin1Char('.'))) {
        if (extension.contains(QLatin1Char('.')) || !path.endsWith(QLatin1Char('.') + extension))
            fail("extension is not what follows the last dot", path, extension);
    } else if (!extension.isEmpty()) {
        fail("extension without a dot", path, extension);
    }
    const QString folder = PhotoFolder::Folder(path);
    const QString name = PhotoFolder::FileName(path);
    if (path.contains(QLatin1Char('/'))) {
        if (name.contains(QLatin1Char('/')) || folder + QLatin1Char('/') + name != path)
            fail("folder and file name do not make the path", path, folder, name);
    } else if (!folder.isEmpty() || !name.isEmpty()) {
        fail("folder or file name without a slash", path, folder, name);
    }
}

// NaturalCompare sorts the folder's names with std::sort, which needs a strict total order.
void checkPair(const QString& a, const QString& b)
{
    const int ab = sign(PhotoFolder::NaturalCompare(a, b));
    if (ab != -sign(PhotoFolder::NaturalCompare(b, a)))
        fail("order is not antisymmetric", a, b);
    if ((ab == 0) != (a == b))
        fail("only equal names compare equal", a, b);
}

void checkTriple(const QString& a, const QString& b, const QString& c)
{
    if (PhotoFolder::NaturalCompare(a, b) < 0 && PhotoFolder::NaturalCompare(b, c) < 0 &&
        PhotoFolder::NaturalCompare(a, c) >= 0)
        fail("order is not transitive", a, b, c);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<QByteArray> parts = input.split('\0');
    std::array<QString, 3> names;
    for (qsizetype i = 0; i < parts.size() && i < 3; ++i) {
        names[std::size_t(i)] = LocalPath::decode(parts[i]);
        if (LocalPath::encode(names[std::size_t(i)]) != parts[i])
            fail("the name does not give its bytes back", names[std::size_t(i)]);
    }
    for (const QString& name : names) {
        checkSplit(name);
        checkPair(name, name);
    }
    for (const QString& a : names)
        for (const QString& b : names) {
            checkPair(a, b);
            for (const QString& c : names)
                checkTriple(a, b, c);
        }
    return 0;
}
