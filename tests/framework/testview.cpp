// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/framework/testview.h"

#include "framework/afxres.h"
#include "framework/cdc.h"
#include "framework/cdocument.h"
#include "framework/cframewnd.h"
#include "framework/cstringarray.h"
#include "framework/cwinapp.h"
#include "framework/virtualkeys.h"
#include "tests/framework/testresources.h"

IMPLEMENT_DYNCREATE(CTestView, CView)

BEGIN_MESSAGE_MAP(CTestView, CView)
    ON_WM_KEYDOWN()
    ON_COMMAND_RANGE(ID_CMD_VIEW, ID_CMD_VIEW, &CTestView::OnCommand)
    ON_COMMAND_RANGE(ID_CMD_ALL, ID_CMD_ALL, &CTestView::OnCommand)
    ON_COMMAND_RANGE(ID_CMD_GREYED, ID_CMD_CHECKED, &CTestView::OnCommand)
    ON_COMMAND(ID_CMD_BAD_INDEX, &CTestView::OnBadIndex)
    ON_UPDATE_COMMAND_UI(ID_CMD_GREYED, &CTestView::OnUpdateGreyed)
    ON_UPDATE_COMMAND_UI(ID_CMD_CHECKED, &CTestView::OnUpdateChecked)
END_MESSAGE_MAP()

void CTestView::OnInitialUpdate()
{
    ++m_nInitialUpdates;
    CView::OnInitialUpdate();
}

void CTestView::OnDraw(CDC* dc)
{
    ++m_nDraws;
    m_bDrewWithPainter = dc && dc->GetPainter() && dc->GetSafeHdc();
}

void CTestView::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    m_keys.push_back(ReceivedKey{nChar, GetKeyState(VK_CONTROL) < 0});
    if (nChar == 'E') {
        CStringArray empty;
        empty.GetAt(0);
    }
    CView::OnKeyDown(nChar, nRepCnt, nFlags);
}

void CTestView::OnCommand(UINT id)
{
    CommandLog().append(LogEntry(QStringLiteral("view ") + GetDocument()->GetTitle(), id));
}

void CTestView::OnBadIndex()
{
    CStringArray names;
    names.Add(QStringLiteral("only"));
    CommandLog().append(names[1]);
}

void CTestView::OnUpdateGreyed(CCmdUI* ui)
{
    ui->Enable(false);
}

void CTestView::OnUpdateChecked(CCmdUI* ui)
{
    ui->SetCheck(1);
}

CTestView* ActiveTestView()
{
    CFrameWnd* main = AfxGetMainWnd();
    return main ? dynamic_cast<CTestView*>(main->GetActiveView()) : nullptr;
}
