// SPDX-License-Identifier: GPL-2.0-or-later
// Finding the photos of a folder, and splitting paths.

#include "browser/photofolder.h"
#include "platform/paths/localpath.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "tests/qtprinters.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
void Touch(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("x");
}

QStringList Names(const QStringList& paths)
{
    QStringList names;
    for (const QString& path : paths)
        names << PhotoFolder::FileName(path);
    return names;
}

int Link(const QString& target, const QString& link)
{
    return ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData());
}
} // namespace

TEST(PhotoFolderTest, TakesTheNineExtensionsOfRegularVisibleFilesOnly)
{
    QTemporaryDir dir;
    for (const char* name : {"a.jpg", "b.Png", "c.jpeg", "d.tiff", "e.txt", "f.ICO", ".hidden.jpg", ".jpg", "g.cur",
                             "h.wmf", "i.EMF", "j.bmp", "k.gif", "l.tif", "noext"})
        Touch(dir.filePath(name));
    ASSERT_TRUE(QDir(dir.path()).mkdir("x.jpg"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("y.jpg")).constData(), 0600), 0);
    ASSERT_EQ(Link("/nonexistent/target.png", dir.filePath("z.png")), 0);
    ASSERT_EQ(Link(dir.filePath("a.jpg"), dir.filePath("link.jpg")), 0);
    QFile grown(dir.filePath("j.bmp"));
    ASSERT_TRUE(grown.open(QIODevice::Append));
    grown.write("more");
    grown.close();
    QStringList photos;
    std::vector<FileStamp> stamps;
    EXPECT_EQ(PhotoFolder::Scan(dir.path(), QString(), photos, &stamps), 10);
    EXPECT_EQ(Names(photos), (QStringList{"a.jpg", "b.Png", "f.ICO", "g.cur", "h.wmf", "i.EMF", "j.bmp", "k.gif", "l.tif",
                                          "link.jpg"}));
    EXPECT_EQ(photos.first(), dir.filePath("a.jpg"));
    // Each photo's state as the scan saw it, beside it; a link's is its target's.
    ASSERT_EQ(stamps.size(), size_t(photos.size()));
    for (qsizetype i = 0; i < photos.size(); ++i)
        EXPECT_EQ(stamps[size_t(i)], FileStamp::of(photos[i])) << i;
    EXPECT_EQ(stamps[6].size, 5);
    EXPECT_EQ(stamps[9].inode, stamps[0].inode);
}

TEST(PhotoFolderTest, AppendsAfterWhatTheListHoldsAndCountsOnlyTheNew)
{
    QTemporaryDir dir;
    Touch(dir.filePath("only.png"));
    QStringList photos{"/earlier/one.jpg", "/earlier/two.jpg"};
    EXPECT_EQ(PhotoFolder::Scan(dir.path(), QString(), photos), 1);
    EXPECT_EQ(photos, (QStringList{"/earlier/one.jpg", "/earlier/two.jpg", dir.filePath("only.png")}));
}

TEST(PhotoFolderTest, AnExtensionArgumentNarrowsTheEntriesButTheNineStillApply)
{
    QTemporaryDir dir;
    for (const char* name : {"a.jpg", "b.JPG", "c.png", "d.jpgx"})
        Touch(dir.filePath(name));
    QStringList photos;
    EXPECT_EQ(PhotoFolder::Scan(dir.path(), QStringLiteral("jpg"), photos), 2);
    EXPECT_EQ(Names(photos), (QStringList{"a.jpg", "b.JPG"}));
    photos.clear();
    EXPECT_EQ(PhotoFolder::Scan(dir.path(), QStringLiteral("jpgx"), photos), 0);
}

TEST(PhotoFolderTest, AFileWithoutExtensionInADottedFolderIsNoPhoto)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("my.pics");
    ASSERT_TRUE(QDir().mkdir(folder));
    Touch(folder + "/JPG");
    QStringList photos;
    EXPECT_EQ(PhotoFolder::Scan(folder, QString(), photos), 0);
    EXPECT_EQ(PhotoFolder::Extension(folder + "/JPG"), "pics/JPG");
}

TEST(PhotoFolderTest, MissingOrUnreadableFoldersGiveNothing)
{
    QStringList photos;
    EXPECT_EQ(PhotoFolder::Scan(QStringLiteral("/nonexistent/folder"), QString(), photos), 0);
    EXPECT_TRUE(photos.isEmpty());
    QTemporaryDir dir;
    Touch(dir.filePath("file.jpg"));
    EXPECT_EQ(PhotoFolder::Scan(dir.filePath("file.jpg"), QString(), photos), 0); // a file, not a folder
}

TEST(PhotoFolderTest, NaturalOrderIsCaseInsensitiveWithNumbersByValue)
{
    QTemporaryDir dir;
    for (const char* name : {"img10.jpg", "IMG2.jpg", "img1.jpg", "Img02.png", "b.jpg", "A.jpg"})
        Touch(dir.filePath(name));
    QStringList photos;
    PhotoFolder::Scan(dir.path(), QString(), photos);
    EXPECT_EQ(Names(photos), (QStringList{"A.jpg", "b.jpg", "img1.jpg", "IMG2.jpg", "Img02.png", "img10.jpg"}));
    EXPECT_LT(PhotoFolder::NaturalCompare("x9", "x10"), 0);
    EXPECT_LT(PhotoFolder::NaturalCompare("ABC", "abc"), 0); // ties by bytes
    EXPECT_EQ(PhotoFolder::NaturalCompare("same", "same"), 0);
}

TEST(PhotoFolderTest, DigitsOfOtherScriptsSortAsLettersSoTheOrderStaysTransitive)
{
    const QString arabicFour = QString::fromUtf8("\u06F4"); // EXTENDED ARABIC-INDIC DIGIT FOUR
    const QString fullwidthTwo = QString::fromUtf8("x\uFF12");
    EXPECT_LT(PhotoFolder::NaturalCompare("025", "q51"), 0);
    EXPECT_LT(PhotoFolder::NaturalCompare("q51", arabicFour), 0);
    EXPECT_LT(PhotoFolder::NaturalCompare("025", arabicFour), 0);
    EXPECT_GT(PhotoFolder::NaturalCompare(fullwidthTwo, "x10"), 0);
    EXPECT_LT(PhotoFolder::NaturalCompare("x9", "x10"), 0);
}

TEST(PhotoFolderTest, NamesThatAreNotUtf8AreFoundInTheirPlaceAndKeepTheirBytes)
{
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path());
    // In the order expected: an escaped byte sorts after the letters, and 'e' with its acute
    // accent in Latin-1 after the same in UTF-8.
    const QByteArray names[] = {"a.jpg",           "b_a.jpg",      "b_\xff.jpg",          "c_\xc3\xa9t.png",
                                "c_\xe9t\xe9.png", "D_\xc3\x28.jpg", "d_\xc3\x28.jpg",      "e.png"};
    for (const QByteArray& name : names) {
        const int fd = ::open((folder + '/' + name).constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        ASSERT_GE(fd, 0) << name.toHex().constData();
        ::close(fd);
    }
    QStringList photos;
    std::vector<FileStamp> stamps;
    EXPECT_EQ(PhotoFolder::Scan(dir.path(), QString(), photos, &stamps), qsizetype(std::size(names)));
    ASSERT_EQ(photos.size(), qsizetype(std::size(names)));
    for (qsizetype i = 0; i < photos.size(); ++i) {
        EXPECT_EQ(LocalPath::encode(photos[i]), folder + '/' + names[i]) << i;
        EXPECT_TRUE(stamps[size_t(i)].valid()) << i;
    }
    // QTemporaryDir cannot name these files; they go by their bytes.
    for (const QByteArray& name : names)
        ::unlink((folder + '/' + name).constData());
}

TEST(PhotoFolderTest, PathPieces)
{
    EXPECT_EQ(PhotoFolder::Folder("/pics/a.jpg"), "/pics");
    EXPECT_EQ(PhotoFolder::Folder("/a.jpg"), "");
    EXPECT_EQ(PhotoFolder::Folder("a.jpg"), "");
    EXPECT_EQ(PhotoFolder::FileName("/pics/a.jpg"), "a.jpg");
    EXPECT_EQ(PhotoFolder::FileName("a.jpg"), "");
    EXPECT_EQ(PhotoFolder::Extension("/pics/a.tar.jpg"), "jpg");
    EXPECT_EQ(PhotoFolder::Extension("/pics/a"), "");
    EXPECT_EQ(PhotoFolder::Extension("/pics/a."), "");
}
