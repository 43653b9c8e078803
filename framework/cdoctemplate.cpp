// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/cdoctemplate.h"

#include "framework/cdocument.h"
#include "framework/cmdichildwnd.h"
#include "framework/cmdiframewnd.h"
#include "framework/cwinapp.h"
#include "framework/resources.h"

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)

CDocTemplate::CDocTemplate(UINT resourceId, const CRuntimeClass* documentClass, const CRuntimeClass* frameClass,
                           const CRuntimeClass* viewClass)
    : m_nIDResource(resourceId), m_pDocClass(documentClass), m_pFrameClass(frameClass), m_pViewClass(viewClass)
{
}

CDocTemplate::~CDocTemplate()
{
    CloseAllDocuments(true);
}

bool CDocTemplate::GetDocString(QString& text, DocStringIndex index) const
{
    const QString docString = AfxLoadString(m_nIDResource);
    const QStringList parts = docString.split(QLatin1Char('\n'));
    text = index < parts.size() ? parts[index] : QString();
    return !text.isEmpty();
}

CDocTemplate::Confidence CDocTemplate::MatchDocType(const QString& path, CDocument*& match) const
{
    match = nullptr;
    for (CDocument* document : m_docList) {
        if (document->GetPathName() == path) {
            match = document;
            return yesAlreadyOpen;
        }
    }
    QString extension;
    if (GetDocString(extension, filterExt) && !extension.isEmpty()) {
        for (const QString& e : extension.split(QLatin1Char(';')))
            if (path.endsWith(e.trimmed().remove(QLatin1Char('*')), Qt::CaseInsensitive))
                return yesAttemptNative;
    }
    return maybeAttemptForeign;
}

void CDocTemplate::AddDocument(CDocument* document)
{
    m_docList.push_back(document);
    document->m_pDocTemplate = this;
}

void CDocTemplate::RemoveDocument(CDocument* document)
{
    std::erase(m_docList, document);
    document->m_pDocTemplate = nullptr;
}

CDocument* CDocTemplate::CreateNewDocument()
{
    auto* document = dynamic_cast<CDocument*>(m_pDocClass ? m_pDocClass->CreateObject() : nullptr);
    if (document)
        AddDocument(document);
    return document;
}

CMDIChildWnd* CDocTemplate::CreateNewFrame(CDocument* document)
{
    CWinApp* app = AfxGetApp();
    auto* mainFrame = app ? dynamic_cast<CMDIFrameWnd*>(app->m_pMainWnd) : nullptr;
    auto* frame = dynamic_cast<CMDIChildWnd*>(m_pFrameClass ? m_pFrameClass->CreateObject() : nullptr);
    if (!frame)
        return nullptr;
    CCreateContext context;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pCurrentDoc = document;
    context.m_pNewDocTemplate = this;
    if (!mainFrame || !frame->LoadFrame(m_nIDResource, 0, mainFrame, &context)) {
        delete frame;
        return nullptr;
    }
    return frame;
}

void CDocTemplate::CloseAllDocuments(bool /*endSession*/)
{
    while (!m_docList.empty())
        m_docList.front()->OnCloseDocument();
}
