// SPDX-License-Identifier: GPL-2.0-or-later
// File names that are not valid UTF-8 keep every byte between the disk and the program.

#include "platform/paths/localpath.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QByteArray Bytes(const char* text)
{
    return QByteArray(text);
}
} // namespace

TEST(LocalPath, EveryNameSurvivesTheRoundTripByteForByte)
{
    const QByteArray names[] = {
        Bytes("plain.jpg"),
        Bytes("caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x93\xb7.png"), // valid UTF-8: é, €, a camera
        Bytes("b_\xff.jpg"),                                  // a byte that never starts UTF-8
        Bytes("c_\xe9t\xe9.png"),                             // Latin-1
        Bytes("d_\xc3\x28.jpg"),                              // a lead byte without its continuation
        Bytes("e_\xed\xb2\x80.jpg"),                          // an encoded surrogate is not UTF-8
        Bytes("f_\xc0\xaf.jpg"),                              // an overlong '/'
        Bytes("g_\xf4\x90\x80\x80.jpg"),                      // past U+10FFFF
        Bytes("h_\xe2\x82"),                                  // cut short at the end
        Bytes("\x80\x81\xfe"),
    };
    for (const QByteArray& name : names) {
        const QString path = LocalPath::decode(name);
        EXPECT_EQ(LocalPath::encode(path), name) << name.toHex().constData();
    }
}

TEST(LocalPath, ValidNamesDecodeAsUtf8AndInvalidBytesAsEscapes)
{
    EXPECT_EQ(LocalPath::decode(Bytes("caf\xc3\xa9.jpg")), QStringLiteral("caf\u00e9.jpg"));
    EXPECT_FALSE(LocalPath::hasEscapedBytes(LocalPath::decode(Bytes("caf\xc3\xa9.jpg"))));
    const QString latin1 = LocalPath::decode(Bytes("c_\xe9t\xe9.png"));
    EXPECT_EQ(latin1, QString::fromUtf16(u"c_\xdce9t\xdce9.png"));
    EXPECT_TRUE(LocalPath::hasEscapedBytes(latin1));
    // A pair whose low half lies in the escape range is a character, not an escaped byte.
    const QString pair = QString::fromUtf16(u"\U0001F4B0"); // D83D DCB0
    EXPECT_FALSE(LocalPath::hasEscapedBytes(pair));
    EXPECT_EQ(LocalPath::encode(pair), pair.toUtf8());
}

TEST(LocalPath, DisplayShowsBrokenBytesAndControlCharactersReadably)
{
    EXPECT_EQ(LocalPath::display(LocalPath::decode(Bytes("b_\xff.jpg"))), QString::fromUtf16(u"b_\xfffd.jpg"));
    EXPECT_EQ(LocalPath::display(QStringLiteral("a\nb\tc\x7f.jpg")), QString::fromUtf16(u"a\x240a" "b\x2409" "c\x2421.jpg"));
    EXPECT_EQ(LocalPath::display(QString::fromUtf16(u"\U0001F4B0 ok")), QString::fromUtf16(u"\U0001F4B0 ok"));
    EXPECT_EQ(LocalPath::display(QString::fromUtf16(u"x\xd83d")), QString::fromUtf16(u"x\xfffd"));
}

TEST(LocalPath, EncodedNamesOpenTheFilesTheFolderListed)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray folder = QFile::encodeName(dir.path());
    const QByteArray names[] = {Bytes("b_\xff.jpg"), Bytes("c_\xe9t\xe9.png"), Bytes("d_\xc3\x28.jpg")};
    for (const QByteArray& name : names) {
        const int fd = ::open((folder + '/' + name).constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, name.constData(), size_t(name.size())), name.size());
        ::close(fd);
    }
    DIR* listing = ::opendir(folder.constData());
    ASSERT_NE(listing, nullptr);
    int opened = 0;
    while (const dirent* entry = ::readdir(listing)) {
        const QString path = LocalPath::decode(folder) + QLatin1Char('/') + LocalPath::decode(entry->d_name);
        if (entry->d_name[0] == '.')
            continue;
        const int fd = ::open(LocalPath::encode(path).constData(), O_RDONLY);
        ASSERT_GE(fd, 0) << entry->d_name;
        char content[32] = {};
        const ssize_t read = ::read(fd, content, sizeof content);
        ::close(fd);
        EXPECT_EQ(QByteArray(content, int(read)), QByteArray(entry->d_name));
        ++opened;
    }
    ::closedir(listing);
    EXPECT_EQ(opened, 3);
    // QTemporaryDir cannot name these files; they go by their bytes.
    for (const QByteArray& name : names)
        ::unlink((folder + '/' + name).constData());
}

TEST(LocalPath, AbsolutePathsKeepTheBytesOfRelativeNamesAndOfTheCurrentFolder)
{
    const QString name = LocalPath::decode(Bytes("b_\xff.jpg"));
    EXPECT_EQ(LocalPath::absolute(QStringLiteral("/pics/./old/../") + name), QStringLiteral("/pics/") + name);
    EXPECT_EQ(LocalPath::absolute(QString()), QString());
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray folder = QFile::encodeName(dir.path()) + "/c_\xe9t\xe9";
    ASSERT_EQ(::mkdir(folder.constData(), 0700), 0);
    const QByteArray previous = QFile::encodeName(QDir::currentPath());
    ASSERT_EQ(::chdir(folder.constData()), 0);
    const QString current = LocalPath::currentFolder();
    const QString relative = LocalPath::absolute(name);
    EXPECT_EQ(::chdir(previous.constData()), 0);
    ::rmdir(folder.constData());
    EXPECT_EQ(LocalPath::encode(current), folder);
    EXPECT_EQ(LocalPath::encode(relative), folder + "/b_\xff.jpg");
}

TEST(LocalPath, PathsAsQtShowsThemFindTheirNamesOnDisk)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray root = QFile::encodeName(dir.path());
    const QByteArray made[] = {"/caf\xe9", "/caf\xe9/1.png", "/plain", "/plain/\xe9t\xe9.png", "/plain/\xe9t\xff.png",
                               "/two\xe9", "/two\xff", "/two\xe9/x", "/\xef\xbf\xbd.png"};
    for (const QByteArray& name : made) {
        const QByteArray path = root + name;
        if (name.contains('.') || name.endsWith("/x"))
            ::close(::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600));
        else
            ASSERT_EQ(::mkdir(path.constData(), 0700), 0) << name.constData();
    }
    struct Case {
        const char* name;
        QByteArray shownBytes; // the on-disk path as Qt decodes it
        QByteArray expected;   // empty: no path
    };
    const Case cases[] = {
        {"a name Qt can show", "/plain", "/plain"},
        {"a folder that is not UTF-8", "/caf\xe9", "/caf\xe9"},
        {"a file in such a folder", "/caf\xe9/1.png", "/caf\xe9/1.png"},
        {"two files shown alike: the first", "/plain/\xe9t\xe9.png", "/plain/\xe9t\xe9.png"},
        {"two folders shown alike", "/two\xe9/x", ""},
        {"a name of U+FFFD itself", "/\xef\xbf\xbd.png", "/\xef\xbf\xbd.png"},
        {"nothing of that name", "/gone\xe9/1.png", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString shown = dir.path() + QFile::decodeName(c.shownBytes);
        const QString found = LocalPath::fromShown(shown);
        EXPECT_EQ(LocalPath::encode(found), c.expected.isEmpty() ? QByteArray() : root + c.expected);
    }
    EXPECT_EQ(LocalPath::fromShown(QStringLiteral("relative/path")), QString());
    for (auto it = std::rbegin(made); it != std::rend(made); ++it)
        ::remove((root + *it).constData());
}
