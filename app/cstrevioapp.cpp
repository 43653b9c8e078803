// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/cstrevioapp.h"

#include "app/caboutdlg.h"
#include "app/cchildframe.h"
#include "app/chtmlview_.h"
#include "app/cmainframe.h"
#include "app/cstreviodoc.h"
#include "app/helpwindow.h"
#include "browser/clistview_photos.h"
#include "browser/cstrevioview.h"
#include "framework/afxres.h"
#include "framework/cmultidoctemplate.h"
#include "imaging/gdiplus.h"
#include "res/resource.h"

#include <QWidget>

#include <new>

BEGIN_MESSAGE_MAP(CStrevioApp, CWinApp)
    ON_COMMAND(ID_APP_ABOUT, &CStrevioApp::OnAppAbout)
    ON_COMMAND(ID_CLOSE_ALL, &CStrevioApp::OnCloseAll)
END_MESSAGE_MAP()

CStrevioApp::CStrevioApp()
{
    EnableHtmlHelp();
}

CStrevioApp::~CStrevioApp() = default;

bool CStrevioApp::InitInstance()
{
    CWinApp::InitInstance();
    SetRegistryKey(QStringLiteral("Quennel"));
    LoadStdProfileSettings(10);

    struct DocType {
        UINT id;
        const CRuntimeClass* view;
        CMultiDocTemplate** keep;
    };
    const DocType types[] = {
        {IDR_PHOTOVIEW, RUNTIME_CLASS(CStrevioView), &m_pPhotoViewTemplate},
        {IDR_PHOTOLIST, RUNTIME_CLASS(CListView_Photos), &m_pPhotoListTemplate},
        {IDR_FILMLIST, RUNTIME_CLASS(CListView_Photos), nullptr},
        {IDR_PHOTOVIEW, RUNTIME_CLASS(CHtmlView_), nullptr},
    };
    CMultiDocTemplate* startPage = nullptr;
    for (const DocType& type : types) {
        auto* docTemplate = new (std::nothrow)
            CMultiDocTemplate(type.id, RUNTIME_CLASS(CStrevioDoc), RUNTIME_CLASS(CChildFrame), type.view);
        if (type.keep)
            *type.keep = docTemplate;
        if (!docTemplate)
            return false;
        AddDocTemplate(docTemplate);
        startPage = docTemplate;
    }

    auto* mainFrame = new (std::nothrow) CMainFrame;
    if (!mainFrame)
        return false;
    if (!mainFrame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, nullptr)) {
        delete mainFrame;
        return false;
    }
    m_pMainWnd = mainFrame;
    mainFrame->GetSafeWidget()->show();
    mainFrame->UpdateWindow();

    GdiplusStartupInput input;
    GdiplusStartup(&m_GdiplusToken, &input, nullptr);

    startPage->OpenDocumentFile(QString(), true);
    return true;
}

int CStrevioApp::ExitInstance()
{
    // A termination signal leaves the event loop with the windows still open: they close here
    // as on File > Exit.
    QWidget* mainWidget = m_pMainWnd ? m_pMainWnd->GetSafeWidget() : nullptr;
    if (mainWidget && mainWidget->isVisible())
        mainWidget->close();
    return CWinApp::ExitInstance();
}

CDocument* CStrevioApp::OpenDocumentFile(const QString& path)
{
    m_pPhotoListTemplate->OpenDocumentFile(path, true);
    return CWinApp::OpenDocumentFile(path);
}

void CStrevioApp::OnAppAbout()
{
    CAboutDlg about;
    about.DoModal();
}

void CStrevioApp::OnCloseAll()
{
    CloseAllDocuments(true);
}

void CStrevioApp::ShowHelp(UINT /*context*/)
{
    CHelpWindow::Show(m_pMainWnd ? m_pMainWnd->GetSafeWidget() : nullptr);
}
