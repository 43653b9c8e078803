// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A running test application: main frame shown, document types A and B (in that order unless a
// test asks otherwise), message boxes recorded instead of shown, settings under a key of the
// test's own, and a folder for the files the test opens.

#include "tests/framework/qtprinters.h"
#include "tests/framework/testapp.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <vector>

class CDocument;
class CMDIChildWnd;
class CMultiDocTemplate;
class CTestMainFrame;
class CTestView;

class FrameworkFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Ends the running application (if any) and starts another on the same settings.
    void StartApp(const std::vector<UINT>& typeOrder = {129, 130}, UINT recentFiles = 10);
    void StopApp();

    QString MakeFile(const QString& name, const QByteArray& content = "any content") const;
    QString SettingsKey() const;
    QString SettingsFile() const;

    CMultiDocTemplate* Template(UINT resourceId) const { return m_app->GetTemplate(resourceId); }
    CTestMainFrame* Frame() const { return m_app->GetMainFrame(); }
    static CTestView* ViewOf(CDocument* document, size_t index = 0);
    static CMDIChildWnd* FrameOf(CDocument* document, size_t index = 0);
    int ChildWindowCount() const;
    QStringList MenuTitles() const;
    QStringList RecentPaths() const;

    std::unique_ptr<CTestApp> m_app;
    QTemporaryDir m_folder;
    QStringList m_messages;
};
