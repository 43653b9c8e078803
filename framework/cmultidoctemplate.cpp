// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/cmultidoctemplate.h"

#include "framework/cdocument.h"
#include "framework/cmdichildwnd.h"
#include "framework/cwaitcursor.h"

IMPLEMENT_DYNAMIC(CMultiDocTemplate, CDocTemplate)

CDocument* CMultiDocTemplate::OpenDocumentFile(const QString& path, bool makeVisible)
{
    CDocument* document = CreateNewDocument();
    if (!document)
        return nullptr;
    const bool autoDelete = document->m_bAutoDelete;
    document->m_bAutoDelete = false; // a failed frame must not take the document with it
    CMDIChildWnd* frame = CreateNewFrame(document);
    document->m_bAutoDelete = autoDelete;
    if (!frame) {
        RemoveDocument(document);
        delete document;
        return nullptr;
    }
    if (path.isNull()) {
        SetDefaultTitle(document);
        if (!document->OnNewDocument()) {
            frame->DestroyWindow();
            return nullptr;
        }
    } else {
        bool opened;
        {
            CWaitCursor wait;
            opened = document->OnOpenDocument(path);
        }
        if (!opened) {
            frame->DestroyWindow();
            return nullptr;
        }
        document->SetPathName(path, true);
    }
    frame->InitialUpdateFrame(document, makeVisible);
    return document;
}

void CMultiDocTemplate::SetDefaultTitle(CDocument* document)
{
    QString name;
    if (!GetDocString(name, docName))
        name = QStringLiteral("Untitled");
    document->SetTitle(name + QString::number(++m_nUntitledCount));
}
