// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/cmdichildwnd.h"

#include "framework/cdocument.h"
#include "framework/cmdiframewnd.h"
#include "framework/childframewidget.h"
#include "framework/cview.h"
#include "framework/resources.h"

#include <QMdiArea>

IMPLEMENT_DYNCREATE(CMDIChildWnd, CFrameWnd)

CMDIChildWnd::~CMDIChildWnd()
{
    if (auto* window = dynamic_cast<CChildFrameWidget*>(GetSafeWidget()))
        window->ReleaseFrame();
}

void CMDIChildWnd::OnWindowClosing(bool closing)
{
    if (m_pMDIFrame)
        m_pMDIFrame->OnChildFrameClosing(this, closing);
}

void CMDIChildWnd::OnWindowDestroyed()
{
    m_pWidget.clear();
    if (m_pMDIFrame)
        m_pMDIFrame->OnChildFrameDestroyed(this);
    m_pActiveView = nullptr;
    m_pView.reset(); // leaves the document, which closes when this was its last view
    delete this;
}

QMdiSubWindow* CMDIChildWnd::GetSubWindow() const
{
    return qobject_cast<QMdiSubWindow*>(GetSafeWidget());
}

bool CMDIChildWnd::LoadFrame(UINT resourceId, DWORD /*style*/, CMDIFrameWnd* parent, CCreateContext* context)
{
    QMdiArea* area = parent ? parent->GetMdiArea() : nullptr;
    if (!area || !context || !context->m_pNewViewClass || !context->m_pCurrentDoc)
        return false;
    m_nIDResource = resourceId;
    m_pMDIFrame = parent;
    m_pDocTemplate = context->m_pNewDocTemplate;
    auto* view = dynamic_cast<CView*>(context->m_pNewViewClass->CreateObject());
    if (!view)
        return false;
    m_pView.reset(view);
    auto* window = new CChildFrameWidget(this, nullptr);
    Attach(window, false);
    context->m_pCurrentDoc->AddView(view);
    if (!view->Create(this, window)) {
        m_pWidget.clear();
        window->ReleaseFrame();
        delete window;
        return false;
    }
    window->setWidget(view->GetSafeWidget());
    window->setWindowIcon(AfxLoadIcon(resourceId));
    window->resize(720, 480);
    area->addSubWindow(window);
    m_pActiveView = view;
    parent->OnChildFrameCreated(this);
    return true;
}

void CMDIChildWnd::InitialUpdateFrame(CDocument* document, bool makeVisible)
{
    if (m_pView)
        m_pView->OnInitialUpdate();
    if (document)
        document->UpdateFrameCounts();
    OnUpdateFrameTitle();
    if (makeVisible)
        ActivateFrame(true);
}

void CMDIChildWnd::ActivateFrame(bool show)
{
    QMdiSubWindow* window = GetSubWindow();
    if (!window || !m_pMDIFrame)
        return;
    if (show)
        window->show();
    if (window->isMinimized())
        window->showNormal();
    m_pMDIFrame->GetMdiArea()->setActiveSubWindow(window);
    if (m_pView && m_pView->GetSafeWidget())
        m_pView->GetSafeWidget()->setFocus(Qt::OtherFocusReason);
}

bool CMDIChildWnd::DestroyWindow()
{
    QWidget* window = GetSafeWidget();
    if (!window)
        return false;
    delete window; // takes this frame with it
    return true;
}

bool CMDIChildWnd::OnCmdMsg(UINT id, CCmdUI* ui)
{
    if (m_pView && m_pView->OnCmdMsg(id, ui))
        return true;
    return CFrameWnd::OnCmdMsg(id, ui);
}

void CMDIChildWnd::OnUpdateFrameTitle()
{
    CDocument* document = GetActiveDocument();
    QString title = document ? document->GetTitle() : QString();
    if (m_nWindow > 0)
        title += QStringLiteral(":%1").arg(m_nWindow);
    SetWindowText(title);
    if (m_pMDIFrame)
        m_pMDIFrame->OnUpdateFrameTitle();
}
