// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/ccontrolbar.h"

#include "framework/afxres.h"

#include <QToolBar>

void CControlBar::EnableDocking(DWORD dockStyle)
{
    m_dwDockStyle = dockStyle;
    if (auto* toolbar = qobject_cast<QToolBar*>(GetSafeWidget())) {
        Qt::ToolBarAreas areas;
        if (dockStyle & CBRS_ALIGN_TOP)
            areas |= Qt::TopToolBarArea;
        if (dockStyle & CBRS_ALIGN_BOTTOM)
            areas |= Qt::BottomToolBarArea;
        if (dockStyle & CBRS_ALIGN_LEFT)
            areas |= Qt::LeftToolBarArea;
        if (dockStyle & CBRS_ALIGN_RIGHT)
            areas |= Qt::RightToolBarArea;
        toolbar->setAllowedAreas(areas);
        toolbar->setMovable(dockStyle != 0);
    }
}

bool CControlBar::IsVisible() const
{
    return GetSafeWidget() && !GetSafeWidget()->isHidden();
}

void CControlBar::ShowBar(bool visible)
{
    if (GetSafeWidget())
        GetSafeWidget()->setVisible(visible);
}
