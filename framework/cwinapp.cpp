// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/cwinapp.h"

#include "framework/afxres.h"
#include "framework/afxwork.h"
#include "framework/cdocument.h"
#include "framework/cdoctemplate.h"
#include "framework/cmdichildwnd.h"
#include "framework/cmdiframewnd.h"
#include "framework/crecentfilelist.h"
#include "framework/openfiledialog.h"
#include "framework/cview.h"
#include "framework/resources.h"
#include "platform/paths/localpath.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QListWidget>
#include <QSettings>
#include <QVBoxLayout>

namespace {
CWinApp* g_pApp = nullptr;
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

CFrameWnd* AfxGetMainWnd()
{
    return g_pApp ? dynamic_cast<CFrameWnd*>(g_pApp->m_pMainWnd) : nullptr;
}

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
    ON_COMMAND(ID_FILE_NEW, &CWinApp::OnFileNew)
    ON_COMMAND(ID_FILE_OPEN, &CWinApp::OnFileOpen)
    ON_COMMAND(ID_APP_EXIT, &CWinApp::OnAppExit)
    ON_COMMAND_RANGE(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE16, &CWinApp::OnOpenRecentFile)
END_MESSAGE_MAP()

CWinApp::CWinApp(const QString& appName) : m_pszAppName(appName)
{
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    CloseAllDocuments(true);
    delete m_pMainWnd;
    m_pMainWnd = nullptr;
    for (CDocTemplate* docTemplate : m_templates)
        delete docTemplate;
    if (g_pApp == this)
        g_pApp = nullptr;
}

bool CWinApp::InitInstance()
{
    if (m_pszAppName.isEmpty())
        m_pszAppName = AfxLoadString(AFX_IDS_APP_TITLE);
    if (qApp)
        QApplication::setApplicationName(m_pszAppName);
    return true;
}

int CWinApp::ExitInstance()
{
    return 0;
}

int CWinApp::Run()
{
    const int result = QApplication::exec();
    ExitInstance();
    return result;
}

void CWinApp::ShowHelp(UINT /*context*/) {}

void CWinApp::AddDocTemplate(CDocTemplate* docTemplate)
{
    m_templates.push_back(docTemplate);
}

void CWinApp::CloseAllDocuments(bool endSession)
{
    if (AfxIsWorking()) {
        AfxRunWhenIdle([endSession] {
            if (CWinApp* app = AfxGetApp())
                app->CloseAllDocuments(endSession);
        });
        return;
    }
    for (CDocTemplate* docTemplate : m_templates)
        docTemplate->CloseAllDocuments(endSession);
}

CDocument* CWinApp::OpenDocumentFile(const QString& path)
{
    const QString fullPath = LocalPath::absolute(path);
    CDocTemplate* best = nullptr;
    CDocTemplate::Confidence bestMatch = CDocTemplate::noAttempt;
    for (CDocTemplate* docTemplate : m_templates) {
        CDocument* open = nullptr;
        const CDocTemplate::Confidence match = docTemplate->MatchDocType(fullPath, open);
        if (match == CDocTemplate::yesAlreadyOpen) {
            for (CView* view : open->GetViews()) {
                if (auto* frame = dynamic_cast<CMDIChildWnd*>(view->GetParentFrame())) {
                    frame->ActivateFrame(true);
                    break;
                }
            }
            return open;
        }
        if (match > bestMatch) {
            bestMatch = match;
            best = docTemplate;
        }
    }
    return best ? best->OpenDocumentFile(fullPath, true) : nullptr;
}

void CWinApp::SetRegistryKey(const QString& key)
{
    m_pszRegistryKey = key;
    if (m_pszAppName.isEmpty())
        m_pszAppName = AfxLoadString(AFX_IDS_APP_TITLE);
}

std::unique_ptr<QSettings> CWinApp::OpenSettings() const
{
    return std::make_unique<QSettings>(m_pszRegistryKey, m_pszAppName);
}

void CWinApp::LoadStdProfileSettings(UINT maxRecentFiles)
{
    m_pRecentFileList = std::make_unique<CRecentFileList>(QStringLiteral("Recent File List"), QStringLiteral("File%1"),
                                                          int(std::min(maxRecentFiles, 16u)));
    std::unique_ptr<QSettings> settings = OpenSettings();
    m_pRecentFileList->ReadList(*settings);
}

void CWinApp::AddToRecentFileList(const QString& path)
{
    if (!m_pRecentFileList)
        return;
    m_pRecentFileList->Add(path);
    WriteRecentFileList();
}

void CWinApp::WriteRecentFileList()
{
    std::unique_ptr<QSettings> settings = OpenSettings();
    m_pRecentFileList->WriteList(*settings);
    RefreshRecentFileMenus();
}

void CWinApp::RefreshRecentFileMenus()
{
    if (auto* frame = dynamic_cast<CMDIFrameWnd*>(m_pMainWnd))
        frame->RefreshRecentFileItems();
}

int CWinApp::ChooseNewType(const QStringList& names)
{
    if (m_pfnChooseNewType)
        return m_pfnChooseNewType(names);
    QDialog dialog(m_pMainWnd ? m_pMainWnd->GetSafeWidget() : nullptr);
    dialog.setWindowTitle(QStringLiteral("New"));
    auto* list = new QListWidget(&dialog);
    list->addItems(names);
    list->setCurrentRow(0);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(list);
    layout->addWidget(buttons);
    return dialog.exec() == QDialog::Accepted ? list->currentRow() : -1;
}

void CWinApp::OnFileNew()
{
    std::vector<CDocTemplate*> candidates;
    QStringList names;
    for (CDocTemplate* docTemplate : m_templates) {
        QString name;
        if (docTemplate->GetDocString(name, CDocTemplate::fileNewName)) {
            candidates.push_back(docTemplate);
            names.append(name);
        }
    }
    if (candidates.empty())
        return;
    const int choice = candidates.size() == 1 ? 0 : ChooseNewType(names);
    if (choice >= 0 && choice < int(candidates.size()))
        candidates[size_t(choice)]->OpenDocumentFile(QString(), true);
}

QString CWinApp::ChooseFileToOpen()
{
    if (m_pfnChooseFileToOpen)
        return m_pfnChooseFileToOpen();
    COpenFileDialog dialog(m_pMainWnd ? m_pMainWnd->GetSafeWidget() : nullptr);
    dialog.exec();
    return dialog.GetPickedPath();
}

void CWinApp::OnFileOpen()
{
    const QString path = ChooseFileToOpen();
    if (!path.isEmpty())
        OpenDocumentFile(path);
}

void CWinApp::OnAppExit()
{
    if (m_pMainWnd && m_pMainWnd->GetSafeWidget())
        m_pMainWnd->GetSafeWidget()->close();
}

void CWinApp::OnOpenRecentFile(UINT id)
{
    const int index = int(id - ID_FILE_MRU_FILE1);
    if (!m_pRecentFileList || index >= m_pRecentFileList->GetSize())
        return;
    const QString path = (*m_pRecentFileList)[index];
    if (!OpenDocumentFile(path)) {
        // The entry may have moved while the document was tried; drop the path itself.
        for (int i = 0; i < m_pRecentFileList->GetSize(); ++i) {
            if ((*m_pRecentFileList)[i] == path) {
                m_pRecentFileList->Remove(i);
                break;
            }
        }
        WriteRecentFileList();
    }
}
