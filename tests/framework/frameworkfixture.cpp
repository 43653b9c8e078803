// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/framework/frameworkfixture.h"

#include "framework/afxmessagebox.h"
#include "framework/afxres.h"
#include "framework/cmdichildwnd.h"
#include "framework/cmultidoctemplate.h"
#include "framework/crecentfilelist.h"
#include "tests/framework/testdocument.h"
#include "tests/framework/testmainframe.h"
#include "tests/framework/testresources.h"
#include "tests/framework/testview.h"

#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QStandardPaths>

void FrameworkFixture::SetUp()
{
    ASSERT_TRUE(m_folder.isValid());
    RegisterTestResources();
    CommandLog().clear();
    CTestDocument::s_openAttempts.clear();
    AfxSetMessageBoxHandler([this](const QString& text, UINT) {
        m_messages.append(text);
        return IDOK;
    });
    StartApp();
    // Settings must never reach the real home folder.
    ASSERT_TRUE(SettingsFile().startsWith(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)));
    ASSERT_TRUE(SettingsFile().startsWith(qEnvironmentVariable("XDG_CONFIG_HOME")));
}

void FrameworkFixture::TearDown()
{
    StopApp();
    AfxSetMessageBoxHandler({});
    EXPECT_EQ(CTestDocument::s_nLive, 0) << "documents left behind";
}

void FrameworkFixture::StartApp(const std::vector<UINT>& typeOrder, UINT recentFiles)
{
    StopApp();
    m_app = std::make_unique<CTestApp>(SettingsKey(), recentFiles, typeOrder);
    ASSERT_TRUE(m_app->CreateMainFrame());
}

void FrameworkFixture::StopApp()
{
    m_app.reset();
}

QString FrameworkFixture::MakeFile(const QString& name, const QByteArray& content) const
{
    const QString path = m_folder.filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        ADD_FAILURE() << "cannot write " << path.toStdString();
    return path;
}

QString FrameworkFixture::SettingsKey() const
{
    return QStringLiteral("FwTest-%1").arg(::testing::UnitTest::GetInstance()->current_test_info()->name());
}

QString FrameworkFixture::SettingsFile() const
{
    return QSettings(SettingsKey(), kAppName).fileName();
}

CTestView* FrameworkFixture::ViewOf(CDocument* document, size_t index)
{
    if (!document || index >= document->GetViews().size())
        return nullptr;
    return dynamic_cast<CTestView*>(document->GetViews()[index]);
}

CMDIChildWnd* FrameworkFixture::FrameOf(CDocument* document, size_t index)
{
    CTestView* view = ViewOf(document, index);
    return view ? dynamic_cast<CMDIChildWnd*>(view->GetParentFrame()) : nullptr;
}

int FrameworkFixture::ChildWindowCount() const
{
    return int(Frame()->GetMdiArea()->subWindowList().size());
}

QStringList FrameworkFixture::MenuTitles() const
{
    QStringList titles;
    auto* window = qobject_cast<QMainWindow*>(Frame()->GetSafeWidget());
    for (QAction* action : window->menuBar()->actions())
        titles.append(action->text());
    return titles;
}

QStringList FrameworkFixture::RecentPaths() const
{
    QStringList paths;
    CRecentFileList* list = m_app->GetRecentFileList();
    for (int i = 0; list && i < list->GetSize(); ++i)
        paths.append((*list)[i]);
    return paths;
}
