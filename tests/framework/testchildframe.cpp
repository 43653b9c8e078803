// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/framework/testchildframe.h"

#include "framework/cview.h" // completes the frame's view member
#include "tests/framework/testresources.h"

IMPLEMENT_DYNCREATE(CTestChildFrame, CMDIChildWnd)

BEGIN_MESSAGE_MAP(CTestChildFrame, CMDIChildWnd)
    ON_COMMAND_RANGE(ID_CMD_CHILD, ID_CMD_CHILD, &CTestChildFrame::OnCommand)
    ON_COMMAND_RANGE(ID_CMD_ALL, ID_CMD_CHILD_AND_UP, &CTestChildFrame::OnCommand)
END_MESSAGE_MAP()

void CTestChildFrame::OnCommand(UINT id)
{
    CommandLog().append(LogEntry(QStringLiteral("child"), id));
}
