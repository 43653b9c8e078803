// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/cframetools.h"

#include "app/cmainframe.h"
#include "browser/photofolder.h"
#include "framework/afxres.h"
#include "framework/cwinapp.h"

#include <algorithm>

void CFrameTools::ShowProgress(QString text, CProgressCtrl* control)
{
    if (text.size() > 50)
        text.truncate(50);
    auto* frame = dynamic_cast<CMainFrame*>(AfxGetMainWnd());
    if (!frame)
        return;
    CStatusBar& statusBar = frame->m_wndStatusBar;
    statusBar.SetPaneText(0, text, true);
    RECT pane;
    statusBar.GetItemRect(0, &pane);
    // 5.5 pixels a character is an estimate; where the font draws the text wider, the bar starts
    // after it, so that the whole text shows.
    const std::int32_t estimate = std::int32_t(double(text.size()) * 5.5);
    const std::int32_t left = text.isEmpty() ? 2 : std::max(estimate, statusBar.GetTextRight(0) + CStatusBar::kTextGap);
    const RECT rect{left, 2, pane.right - 5, 16};
    CProgressCtrl* bar = control ? control : &m_Progress;
    if (bar->HasWindow())
        bar->DestroyWindow();
    bar->Create(WS_CHILD | WS_VISIBLE, rect, &statusBar, 0);
    bar->SendMessage(PBM_SETRANGE, 0, std::intptr_t(0) | (std::intptr_t(100) << 16));
    bar->SendMessage(PBM_SETPOS, 0, 0);
    bar->SendMessage(PBM_SETSTEP, 1, 0);
}

void CFrameTools::SetProgress(qint64 done, qint64 total)
{
    const std::uintptr_t position = std::uintptr_t(total > 0 ? 100 * done / total : 0);
    if (m_Progress.SendMessage(PBM_SETPOS, position, 0) != std::intptr_t(position))
        m_Progress.RedrawWindow(RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

std::int32_t CFrameTools::ScanFolder(QString folder, CStringArray& photos, QString extension,
                                     std::vector<FileStamp>* stamps)
{
    QStringList found;
    const std::int32_t count = PhotoFolder::Scan(folder, extension, found, stamps);
    for (const QString& path : found)
        photos.Add(path);
    return count;
}

QString CFrameTools::GetExtension(QString path)
{
    return PhotoFolder::Extension(path);
}

QString CFrameTools::GetFolder(QString path)
{
    return PhotoFolder::Folder(path);
}

QString CFrameTools::GetFileName(QString path)
{
    return PhotoFolder::FileName(path);
}
