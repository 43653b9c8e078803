// SPDX-License-Identifier: GPL-2.0-or-later
// Opening a file as a document: any readable file opens without being read, a path already open
// brings its first window to the front, and a file that cannot be read is reported and refused.

#include "framework/afxres.h"
#include "framework/cmdiframewnd.h"
#include "framework/cmultidoctemplate.h"
#include "tests/framework/frameworkfixture.h"
#include "tests/framework/testdocument.h"
#include "tests/framework/testmainframe.h"
#include "tests/framework/testresources.h"
#include "tests/framework/testview.h"
#include "tests/resourcelimits.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
bool OpensForReading(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
    if (fd >= 0)
        ::close(fd);
    return fd >= 0;
}

class DocumentOpen : public FrameworkFixture {
protected:
    // Expects `path` to be refused: null, a message naming it, no window and no document left.
    void ExpectRefused(const QString& path)
    {
        m_messages.clear();
        EXPECT_EQ(m_app->OpenDocumentFile(path), nullptr) << path.toStdString();
        ASSERT_FALSE(m_messages.isEmpty()) << path.toStdString();
        EXPECT_TRUE(m_messages.first().contains(path)) << m_messages.first().toStdString();
        EXPECT_EQ(ChildWindowCount(), 0);
        EXPECT_EQ(CTestDocument::s_nLive, 0);
        EXPECT_TRUE(RecentPaths().isEmpty());
    }
};
} // namespace

TEST_F(DocumentOpen, AnyReadableFileOpensWithItsFullPathAsName)
{
    QByteArray binary(4096, '\0');
    for (int i = 0; i < binary.size(); ++i)
        binary[i] = char(i * 37);
    const std::vector<QString> files = {MakeFile("notes.txt", "plain text"), MakeFile("empty.jpg", ""),
                                        MakeFile("noise", binary), MakeFile("sub/photo.JPG", "\xff\xd8 broken")};
    for (const QString& path : files) {
        CDocument* document = m_app->OpenDocumentFile(path);
        ASSERT_NE(document, nullptr) << path.toStdString();
        EXPECT_EQ(document->GetPathName(), QFileInfo(path).absoluteFilePath());
        EXPECT_EQ(document->GetTitle(), QFileInfo(path).fileName());
        EXPECT_EQ(document->GetDocTemplate(), Template(IDR_TYPE_A)) << "the first type opens foreign files";
        EXPECT_EQ(ActiveTestView(), ViewOf(document));
    }
    EXPECT_EQ(ChildWindowCount(), int(files.size()));
    EXPECT_TRUE(m_messages.isEmpty());
}

TEST_F(DocumentOpen, TemplateOpensTheSamePathTwiceButTheApplicationReturnsTheOlderWindow)
{
    const QString path = MakeFile("twice.jpg");
    CDocument* older = Template(IDR_TYPE_B)->OpenDocumentFile(path, true);
    CDocument* newer = Template(IDR_TYPE_B)->OpenDocumentFile(path, true);
    ASSERT_TRUE(older && newer);
    EXPECT_NE(older, newer);
    EXPECT_EQ(ChildWindowCount(), 2);
    EXPECT_EQ(Frame()->MDIGetActive(), FrameOf(newer));
    EXPECT_EQ(m_app->OpenDocumentFile(path), older);
    EXPECT_EQ(ChildWindowCount(), 2) << "no third window";
    EXPECT_EQ(Frame()->MDIGetActive(), FrameOf(older));
    EXPECT_EQ(Frame()->GetCurrentMenuId(), IDR_TYPE_B);
}

TEST_F(DocumentOpen, OpenPathIsFoundWhateverWayItIsWritten)
{
    const QString path = MakeFile("sub/photo.jpg");
    CDocument* document = Template(IDR_TYPE_B)->OpenDocumentFile(path, true);
    ASSERT_NE(document, nullptr);
    const QString folder = m_folder.path();
    EXPECT_EQ(m_app->OpenDocumentFile(folder + "/sub/./photo.jpg"), document);
    EXPECT_EQ(m_app->OpenDocumentFile(folder + "/sub/../sub/photo.jpg"), document);
    EXPECT_EQ(m_app->OpenDocumentFile(folder + "//sub/photo.jpg"), document);
    EXPECT_EQ(ChildWindowCount(), 1);
}

TEST_F(DocumentOpen, MissingFileFolderAndFifoAreRefusedWithAMessage)
{
    ExpectRefused(m_folder.filePath("missing.jpg"));
    ExpectRefused(m_folder.path());
    const QString fifo = m_folder.filePath("pipe.jpg");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    QElapsedTimer timer;
    timer.start();
    ExpectRefused(fifo);
    // A FIFO waited on would never return, and the test would time out under any build.
    if (kChecksResourceLimits)
        EXPECT_LT(timer.elapsed(), 2000) << "a FIFO must not be waited on";
}

// Root reads files of any mode, so as root the test uses a write-only kernel attribute, which
// no one can open for reading; without one it is skipped.
TEST_F(DocumentOpen, FileWithoutReadPermissionIsRefused)
{
    QString path = MakeFile("locked.jpg");
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0), 0);
    if (OpensForReading(path)) {
        path = QStringLiteral("/sys/bus/pci/rescan");
        if (!QFileInfo(path).isFile() || OpensForReading(path))
            GTEST_SKIP() << "running as root and no write-only file to try";
    }
    ExpectRefused(path);
}

TEST_F(DocumentOpen, RefusedFileIsTriedWithTheFirstTypeOnly)
{
    const QString missing = m_folder.filePath("gone.jpg");
    EXPECT_EQ(m_app->OpenDocumentFile(missing), nullptr);
    EXPECT_EQ(CTestDocument::s_openAttempts, QStringList{QString::number(IDR_TYPE_A)});
    EXPECT_EQ(m_messages.size(), 1);
    StartApp({IDR_TYPE_B, IDR_TYPE_A});
    CTestDocument::s_openAttempts.clear();
    EXPECT_EQ(m_app->OpenDocumentFile(missing), nullptr);
    EXPECT_EQ(CTestDocument::s_openAttempts, QStringList{QString::number(IDR_TYPE_B)});
}

TEST_F(DocumentOpen, TypeHoldingThePathWinsOverTheFirstType)
{
    const QString path = MakeFile("list.jpg");
    CDocument* inB = Template(IDR_TYPE_B)->OpenDocumentFile(path, true);
    ASSERT_NE(inB, nullptr);
    CTestDocument::s_openAttempts.clear();
    EXPECT_EQ(m_app->OpenDocumentFile(path), inB);
    EXPECT_TRUE(CTestDocument::s_openAttempts.isEmpty()) << "nothing opened again";
    EXPECT_TRUE(Template(IDR_TYPE_A)->GetDocuments().empty());
}

TEST_F(DocumentOpen, RefusedOpenThroughTheTemplateLeavesNoWindow)
{
    const QString good = MakeFile("good.jpg");
    ASSERT_NE(Template(IDR_TYPE_A)->OpenDocumentFile(good, true), nullptr);
    EXPECT_EQ(Template(IDR_TYPE_B)->OpenDocumentFile(m_folder.filePath("none.jpg"), true), nullptr);
    EXPECT_EQ(ChildWindowCount(), 1);
    EXPECT_EQ(CTestDocument::s_nLive, 1);
    EXPECT_TRUE(Template(IDR_TYPE_B)->GetDocuments().empty());
    EXPECT_EQ(Frame()->GetCurrentMenuId(), IDR_TYPE_A);
    EXPECT_EQ(Frame()->GetWindowText(), QString(kMainCaption) + " - good.jpg");
}

TEST_F(DocumentOpen, FileNewOffersOnlyTypesWithANewFileName)
{
    int asked = 0;
    m_app->m_pfnChooseNewType = [&asked](const QStringList&) { return ++asked, 0; };
    EXPECT_TRUE(Frame()->ExecuteCommand(ID_FILE_NEW));
    EXPECT_EQ(asked, 0) << "one type only: no question";
    ASSERT_EQ(Template(IDR_TYPE_A)->GetDocuments().size(), 1u);
    CDocument* untitled = Template(IDR_TYPE_A)->GetDocuments().front();
    EXPECT_EQ(untitled->GetTitle(), "Photo1");
    EXPECT_TRUE(untitled->GetPathName().isEmpty());
    EXPECT_TRUE(RecentPaths().isEmpty());
}

TEST_F(DocumentOpen, FileNewLetsTheUserChooseAmongSeveralTypes)
{
    StartApp({IDR_TYPE_A, IDR_TYPE_B, IDR_TYPE_A});
    QStringList offered;
    m_app->m_pfnChooseNewType = [&offered](const QStringList& names) { return offered = names, 1; };
    EXPECT_TRUE(Frame()->ExecuteCommand(ID_FILE_NEW));
    EXPECT_EQ(offered, (QStringList{"Photo", "Photo"}));
    const auto& types = m_app->GetDocTemplates();
    EXPECT_TRUE(types[0]->GetDocuments().empty());
    EXPECT_EQ(types[2]->GetDocuments().size(), 1u) << "the second offered type";
    m_app->m_pfnChooseNewType = [](const QStringList&) { return -1; };
    EXPECT_TRUE(Frame()->ExecuteCommand(ID_FILE_NEW));
    EXPECT_EQ(ChildWindowCount(), 1) << "a cancelled choice opens nothing";
}

TEST_F(DocumentOpen, FileOpenOpensTheChosenFile)
{
    const QString path = MakeFile("chosen.jpg");
    QString choice = path;
    m_app->m_pfnChooseFileToOpen = [&choice] { return choice; };
    EXPECT_TRUE(Frame()->ExecuteCommand(ID_FILE_OPEN));
    ASSERT_EQ(ChildWindowCount(), 1);
    EXPECT_EQ(Frame()->GetActiveDocument()->GetPathName(), QFileInfo(path).absoluteFilePath());
    choice.clear();
    EXPECT_TRUE(Frame()->ExecuteCommand(ID_FILE_OPEN));
    EXPECT_EQ(ChildWindowCount(), 1);
    EXPECT_TRUE(m_messages.isEmpty());
}
