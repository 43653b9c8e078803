// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/cdocument.h"

#include "framework/afxmessagebox.h"
#include "framework/afxres.h"
#include "framework/afxwork.h"
#include "framework/cdoctemplate.h"
#include "framework/cframewnd.h"
#include "framework/cview.h"
#include "framework/cwinapp.h"
#include "platform/paths/localpath.h"

#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

IMPLEMENT_DYNCREATE(CDocument, CCmdTarget)

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
    ON_COMMAND(ID_FILE_CLOSE, &CDocument::OnFileClose)
END_MESSAGE_MAP()

void CDocument::SetPathName(const QString& path, bool addToRecentFileList)
{
    m_strPathName = LocalPath::absolute(path);
    SetTitle(LocalPath::display(m_strPathName.mid(m_strPathName.lastIndexOf(QLatin1Char('/')) + 1)));
    if (addToRecentFileList && AfxGetApp())
        AfxGetApp()->AddToRecentFileList(m_strPathName);
}

void CDocument::SetTitle(const QString& title)
{
    m_strTitle = title;
    UpdateFrameCounts();
}

void CDocument::AddView(CView* view)
{
    m_viewList.push_back(view);
    view->m_pDocument = this;
}

void CDocument::RemoveView(CView* view)
{
    std::erase(m_viewList, view);
    view->m_pDocument = nullptr;
    if (m_viewList.empty() && m_bAutoDelete && !m_bClosing)
        OnCloseDocument();
    else
        UpdateFrameCounts();
}

void CDocument::UpdateFrameCounts()
{
    std::vector<CFrameWnd*> frames;
    for (CView* view : m_viewList)
        if (CFrameWnd* frame = view->GetParentFrame(); frame && std::find(frames.begin(), frames.end(), frame) == frames.end())
            frames.push_back(frame);
    const int count = int(frames.size());
    for (int i = 0; i < count; ++i)
        frames[i]->SetWindowNumber(count > 1 ? i + 1 : 0);
}

bool CDocument::OnNewDocument()
{
    m_strPathName.clear();
    m_bModified = false;
    return true;
}

QString CDocument::CheckReadable(const QString& path)
{
    const QByteArray native = LocalPath::encode(path);
    struct stat st {};
    if (path.isEmpty() || ::stat(native.constData(), &st) != 0)
        return QStringLiteral("The file does not exist.");
    if (S_ISDIR(st.st_mode))
        return QStringLiteral("It is a folder, not a file.");
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("It is not a regular file.");
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return QString::fromLocal8Bit(std::strerror(errno)) + QLatin1Char('.');
    ::close(fd);
    return QString();
}

bool CDocument::OnOpenDocument(const QString& path)
{
    const QString reason = CheckReadable(path);
    if (reason.isEmpty()) {
        m_bModified = false;
        return true;
    }
    AfxMessageBox(QStringLiteral("Cannot open \"%1\".\n%2").arg(LocalPath::display(path), reason), MB_OK | MB_ICONEXCLAMATION);
    return false;
}

void CDocument::OnCloseDocument()
{
    if (AfxIsWorking()) {
        if (!m_bCloseWhenIdle)
            AfxRunWhenIdle(&CDocument::CloseDocumentsWaitingForIdle);
        m_bCloseWhenIdle = true;
        return;
    }
    m_bClosing = true;
    // Destroying a frame destroys its views, which leave this document's list.
    while (!m_viewList.empty()) {
        CView* view = m_viewList.front();
        CFrameWnd* frame = view->GetParentFrame();
        if (frame)
            frame->DestroyWindow();
        if (!m_viewList.empty() && m_viewList.front() == view)
            RemoveView(view);
    }
    m_bClosing = false;
    if (m_pDocTemplate)
        m_pDocTemplate->RemoveDocument(this);
    if (m_bAutoDelete)
        delete this;
}

void CDocument::CloseDocumentsWaitingForIdle()
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return;
    for (CDocTemplate* docTemplate : app->GetDocTemplates()) {
        // Closing a document takes it out of its template's list.
        std::vector<CDocument*> waiting;
        for (CDocument* document : docTemplate->GetDocuments())
            if (document->m_bCloseWhenIdle)
                waiting.push_back(document);
        for (CDocument* document : waiting)
            document->OnCloseDocument();
    }
}

void CDocument::OnFileClose()
{
    OnCloseDocument();
}
