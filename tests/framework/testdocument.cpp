// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/framework/testdocument.h"

#include "framework/cdoctemplate.h"
#include "tests/framework/testresources.h"

IMPLEMENT_DYNCREATE(CTestDocument, CDocument)

BEGIN_MESSAGE_MAP(CTestDocument, CDocument)
    ON_COMMAND_RANGE(ID_CMD_DOC, ID_CMD_DOC, &CTestDocument::OnCommand)
    ON_COMMAND_RANGE(ID_CMD_ALL, ID_CMD_DOC_AND_UP, &CTestDocument::OnCommand)
END_MESSAGE_MAP()

bool CTestDocument::OnOpenDocument(const QString& path)
{
    s_openAttempts.append(QString::number(GetDocTemplate() ? GetDocTemplate()->GetResourceId() : 0));
    return CDocument::OnOpenDocument(path);
}

void CTestDocument::OnCommand(UINT id)
{
    CommandLog().append(LogEntry(QStringLiteral("doc"), id));
}
