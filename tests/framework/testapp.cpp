// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/framework/testapp.h"

#include "framework/afxres.h"
#include "framework/cmultidoctemplate.h"
#include "tests/framework/testchildframe.h"
#include "tests/framework/testdocument.h"
#include "tests/framework/testmainframe.h"
#include "tests/framework/testresources.h"
#include "tests/framework/testview.h"

BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
    ON_COMMAND_RANGE(ID_CMD_APP, ID_CMD_APP, &CTestApp::OnCommand)
    ON_COMMAND_RANGE(ID_CMD_ALL, ID_CMD_MAIN_AND_APP, &CTestApp::OnCommand)
END_MESSAGE_MAP()

CTestApp::CTestApp(const QString& registryKey, UINT recentFiles, const std::vector<UINT>& typeOrder)
{
    InitInstance();
    SetRegistryKey(registryKey);
    LoadStdProfileSettings(recentFiles);
    for (UINT id : typeOrder)
        AddDocTemplate(new CMultiDocTemplate(id, RUNTIME_CLASS(CTestDocument), RUNTIME_CLASS(CTestChildFrame),
                                             RUNTIME_CLASS(CTestView)));
}

bool CTestApp::CreateMainFrame()
{
    auto* frame = new CTestMainFrame;
    m_pMainWnd = frame;
    if (!frame->LoadFrame(IDR_TEST_MAIN, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, nullptr))
        return false;
    frame->GetSafeWidget()->show();
    frame->GetSafeWidget()->activateWindow();
    return true;
}

CMultiDocTemplate* CTestApp::GetTemplate(UINT resourceId) const
{
    for (CDocTemplate* docTemplate : GetDocTemplates())
        if (docTemplate->GetResourceId() == resourceId)
            return dynamic_cast<CMultiDocTemplate*>(docTemplate);
    return nullptr;
}

CTestMainFrame* CTestApp::GetMainFrame() const
{
    return dynamic_cast<CTestMainFrame*>(m_pMainWnd);
}

void CTestApp::OnCommand(UINT id)
{
    CommandLog().append(LogEntry(QStringLiteral("app"), id));
}
