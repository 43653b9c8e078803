// SPDX-License-Identifier: GPL-2.0-or-later
// The recent-file list: most recent first, bounded, kept in the settings between runs, and
// pruned of an entry that no longer opens.

#include "framework/afxres.h"
#include "framework/crecentfilelist.h"
#include "framework/cmultidoctemplate.h"
#include "platform/paths/localpath.h"
#include "tests/framework/frameworkfixture.h"
#include "tests/framework/testdocument.h"
#include "tests/framework/testmainframe.h"
#include "tests/framework/testresources.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>

namespace {
class RecentFileList : public FrameworkFixture {
protected:
    QStringList Paths(int first, int last) const
    {
        QStringList paths;
        for (int i = first; i <= last; ++i)
            paths.append(QStringLiteral("/photos/%1.jpg").arg(i));
        return paths;
    }

    void AddAll(const QStringList& paths)
    {
        for (const QString& path : paths)
            m_app->AddToRecentFileList(path);
    }

    QStringList Stored() const
    {
        QSettings settings(SettingsKey(), QString::fromLatin1(kAppName));
        QStringList paths;
        settings.beginGroup(QStringLiteral("Recent File List"));
        for (int i = 1; settings.contains(QStringLiteral("File%1").arg(i)); ++i)
            paths.append(settings.value(QStringLiteral("File%1").arg(i)).toString());
        return paths;
    }

    // The texts of the visible recent-file items of the File menu being shown.
    QStringList MenuEntries() const
    {
        QStringList texts;
        QMenu* file = Frame()->GetCurrentMenus().value(0);
        for (QAction* action : file ? file->actions() : QList<QAction*>()) {
            const QVariant id = action->data();
            if (action->isVisible() && id.isValid() && id.toUInt() >= ID_FILE_MRU_FILE1 && id.toUInt() <= ID_FILE_MRU_FILE16)
                texts.append(action->text());
        }
        return texts;
    }
};

QStringList Reversed(QStringList list)
{
    std::reverse(list.begin(), list.end());
    return list;
}
} // namespace

TEST_F(RecentFileList, KeepsTheTenMostRecentNewestFirst)
{
    AddAll(Paths(1, 12));
    EXPECT_EQ(RecentPaths(), Reversed(Paths(3, 12)));
    EXPECT_EQ(Stored(), Reversed(Paths(3, 12)));
    ASSERT_EQ(MenuEntries().size(), 10);
    EXPECT_EQ(MenuEntries().first(), "&1 /photos/12.jpg");
    // Each entry's mnemonic is its own last digit: 1 opens the first at once, 0 the tenth.
    EXPECT_EQ(MenuEntries().last(), "1&0 /photos/3.jpg");
}

TEST_F(RecentFileList, AddingAKnownPathMovesItToTheFront)
{
    AddAll(Paths(1, 4));
    m_app->AddToRecentFileList(Paths(2, 2).first());
    EXPECT_EQ(RecentPaths(), (QStringList{"/photos/2.jpg", "/photos/4.jpg", "/photos/3.jpg", "/photos/1.jpg"}));
}

TEST_F(RecentFileList, OpeningADocumentPutsItsFullPathFirst)
{
    AddAll(Paths(1, 2));
    const QString path = MakeFile("opened.jpg");
    ASSERT_NE(Template(IDR_TYPE_B)->OpenDocumentFile(path, true), nullptr);
    EXPECT_EQ(RecentPaths().value(0), QFileInfo(path).absoluteFilePath());
    EXPECT_EQ(Stored().value(0), QFileInfo(path).absoluteFilePath());
    EXPECT_EQ(RecentPaths().size(), 3);
    EXPECT_EQ(MenuEntries().value(0), "&1 " + QFileInfo(path).absoluteFilePath()) << "in the document type's menu";
}

TEST_F(RecentFileList, AmpersandsInPathsShowAsThemselves)
{
    m_app->AddToRecentFileList("/photos/Tom & Jerry/1.jpg");
    EXPECT_EQ(MenuEntries(), QStringList{"&1 /photos/Tom && Jerry/1.jpg"});
    EXPECT_EQ(RecentPaths(), QStringList{"/photos/Tom & Jerry/1.jpg"});
}

TEST_F(RecentFileList, ListSurvivesARestart)
{
    AddAll(Paths(1, 5));
    StartApp();
    EXPECT_EQ(RecentPaths(), Reversed(Paths(1, 5)));
    EXPECT_EQ(MenuEntries().value(0), "&1 /photos/5.jpg");
}

TEST_F(RecentFileList, SmallerCapacityAfterRestartKeepsTheNewest)
{
    AddAll(Paths(1, 6));
    StartApp({IDR_TYPE_A, IDR_TYPE_B}, 4);
    EXPECT_EQ(RecentPaths(), Reversed(Paths(3, 6)));
}

TEST_F(RecentFileList, EmptyListShowsTheGreyedPlaceholder)
{
    EXPECT_TRUE(MenuEntries().isEmpty());
    QMenu* file = Frame()->GetCurrentMenus().value(0);
    ASSERT_NE(file, nullptr);
    const QList<QAction*> actions = file->actions();
    auto placeholder = std::find_if(actions.begin(), actions.end(), [](QAction* a) { return a->text() == "Recent File"; });
    ASSERT_NE(placeholder, actions.end());
    EXPECT_TRUE((*placeholder)->isVisible());
    EXPECT_FALSE((*placeholder)->isEnabled());
    m_app->AddToRecentFileList("/photos/x.jpg");
    EXPECT_FALSE((*placeholder)->isVisible());
}

TEST_F(RecentFileList, DamagedSettingsFileGivesAnEmptyListAndTheProgramGoesOn)
{
    StopApp();
    QDir().mkpath(QFileInfo(SettingsFile()).absolutePath());
    QFile file(SettingsFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Recent File List\nFile1=/photos/1.jpg\n\x01\x02\xff garbage");
    file.close();
    StartApp();
    EXPECT_TRUE(RecentPaths().isEmpty());
    const QString path = MakeFile("after.jpg");
    EXPECT_NE(m_app->OpenDocumentFile(path), nullptr);
    EXPECT_EQ(RecentPaths(), QStringList{QFileInfo(path).absoluteFilePath()});
}

TEST_F(RecentFileList, UnreadableSettingsFileGivesAnEmptyListAndTheProgramGoesOn)
{
    StopApp();
    ASSERT_TRUE(QDir().mkpath(SettingsFile())); // a folder where the file should be
    StartApp();
    EXPECT_TRUE(RecentPaths().isEmpty());
    m_app->AddToRecentFileList("/photos/1.jpg");
    EXPECT_EQ(RecentPaths(), QStringList{"/photos/1.jpg"});
}

TEST_F(RecentFileList, EntryThatNoLongerOpensIsRemoved)
{
    const QString kept = QFileInfo(MakeFile("kept.jpg")).absoluteFilePath();
    const QString gone = m_folder.filePath("gone.jpg");
    AddAll({kept, gone, "/photos/1.jpg"});
    ASSERT_EQ(RecentPaths(), (QStringList{"/photos/1.jpg", gone, kept}));
    EXPECT_TRUE(Frame()->ExecuteCommand(ID_FILE_MRU_FILE1 + 1));
    EXPECT_FALSE(m_messages.isEmpty());
    EXPECT_EQ(RecentPaths(), (QStringList{"/photos/1.jpg", kept}));
    EXPECT_EQ(Stored(), (QStringList{"/photos/1.jpg", kept}));
    EXPECT_EQ(MenuEntries(), (QStringList{"&1 /photos/1.jpg", "&2 " + kept}));
    EXPECT_EQ(ChildWindowCount(), 0);
}

TEST_F(RecentFileList, EntryThatOpensMovesToTheFront)
{
    const QString path = QFileInfo(MakeFile("again.jpg")).absoluteFilePath();
    AddAll({path, "/photos/1.jpg"});
    EXPECT_TRUE(Frame()->ExecuteCommand(ID_FILE_MRU_FILE1 + 1));
    EXPECT_TRUE(m_messages.isEmpty());
    EXPECT_EQ(ChildWindowCount(), 1);
    EXPECT_EQ(RecentPaths(), (QStringList{path, "/photos/1.jpg"}));
}

TEST_F(RecentFileList, NamesThatAreNotUtf8SurviveARestartByteForByte)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        bool keptAsBytes; // a second key holds the bytes beside the readable entry
    };
    const Case cases[] = {
        {"ASCII", "/photos/a b/1.jpg", false},
        {"UTF-8", "/photos/caf\xc3\xa9/\xe2\x82\xac.jpg", false},
        {"Latin-1 folder", "/photos/caf\xe9/1.jpg", true},
        {"Latin-1 file", "/photos/\xe9t\xe9.jpg", true},
        {"broken sequence and percent", "/photos/100%/\xc3\x28\xff.jpg", true},
        {"escaped-looking text", "/photos/%E9.jpg", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_app->AddToRecentFileList(LocalPath::decode(c.bytes));
        StartApp();
        ASSERT_FALSE(RecentPaths().isEmpty());
        EXPECT_EQ(LocalPath::encode(RecentPaths().first()), c.bytes);
        // Other programs read the entry as UTF-8 and pass over the key they do not know.
        EXPECT_EQ(Stored().value(0), QString::fromUtf8(c.bytes));
        QSettings settings(SettingsKey(), QString::fromLatin1(kAppName));
        EXPECT_EQ(settings.contains(QStringLiteral("Recent File List/File1Bytes")), c.keptAsBytes);
    }
    EXPECT_EQ(RecentPaths().size(), int(std::size(cases)));
}

TEST_F(RecentFileList, KeptBytesThatNoLongerMatchTheirEntryGiveWayToIt)
{
    m_app->AddToRecentFileList(LocalPath::decode("/photos/caf\xe9/1.jpg"));
    StopApp();
    {
        // Another program rewrites the readable entry and leaves the key it does not know.
        QSettings settings(SettingsKey(), QString::fromLatin1(kAppName));
        settings.setValue(QStringLiteral("Recent File List/File1"), QStringLiteral("/photos/other/2.jpg"));
    }
    StartApp();
    EXPECT_EQ(RecentPaths(), QStringList{"/photos/other/2.jpg"});
}
