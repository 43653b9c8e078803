// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/cframewnd.h"

#include "framework/ccontrolbar.h"
#include "framework/cview.h"
#include "framework/cwinapp.h"

IMPLEMENT_DYNAMIC(CFrameWnd, CWnd)

bool CFrameWnd::PreCreateWindow(CREATESTRUCT& /*cs*/)
{
    return true;
}

CDocument* CFrameWnd::GetActiveDocument() const
{
    CView* view = GetActiveView();
    return view ? view->GetDocument() : nullptr;
}

void CFrameWnd::SetMessageText(const QString& text)
{
    CFrameWnd* main = AfxGetMainWnd();
    if (main && main != this)
        main->SetMessageText(text);
}

void CFrameWnd::SetWindowNumber(int number)
{
    m_nWindow = number;
    OnUpdateFrameTitle();
}

void CFrameWnd::OnUpdateFrameTitle() {}

CControlBar* CFrameWnd::GetControlBar(UINT id) const
{
    auto it = m_controlBars.find(id);
    return it == m_controlBars.end() ? nullptr : it->second;
}
