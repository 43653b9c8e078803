// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The application object: owns the document types, the recent-file list and the main window,
// opens documents and runs the standard File commands.

#include "framework/ccmdtarget.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class CDocTemplate;
class CDocument;
class CFrameWnd;
class CRecentFileList;
class CWnd;
class QSettings;

class CWinApp : public CCmdTarget {
public:
    explicit CWinApp(const QString& appName = QString());
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual bool InitInstance();
    virtual int ExitInstance();
    virtual int Run();
    virtual CDocument* OpenDocumentFile(const QString& path);
    virtual void ShowHelp(UINT context);

    void AddDocTemplate(CDocTemplate* docTemplate);
    const std::vector<CDocTemplate*>& GetDocTemplates() const { return m_templates; }
    void CloseAllDocuments(bool endSession);

    void SetRegistryKey(const QString& key);
    void LoadStdProfileSettings(UINT maxRecentFiles = 4);
    std::unique_ptr<QSettings> OpenSettings() const;
    void AddToRecentFileList(const QString& path);
    CRecentFileList* GetRecentFileList() const { return m_pRecentFileList.get(); }
    void EnableHtmlHelp() { m_bHtmlHelp = true; }

    QString m_pszAppName;
    QString m_pszRegistryKey;
    CWnd* m_pMainWnd = nullptr;
    int m_nCmdShow = 1;

    // The File > New choice among document types, and the File > Open file choice. Tests replace
    // them; the defaults show dialogs.
    std::function<int(const QStringList& typeNames)> m_pfnChooseNewType;
    std::function<QString()> m_pfnChooseFileToOpen;

protected:
    void OnFileNew();
    void OnFileOpen();
    void OnAppExit();
    void OnOpenRecentFile(UINT id);

private:
    int ChooseNewType(const QStringList& names);
    QString ChooseFileToOpen();
    void WriteRecentFileList();
    void RefreshRecentFileMenus();

    std::vector<CDocTemplate*> m_templates;
    std::unique_ptr<CRecentFileList> m_pRecentFileList;
    bool m_bHtmlHelp = false;

    DECLARE_MESSAGE_MAP()
};

CWinApp* AfxGetApp();
CFrameWnd* AfxGetMainWnd();
