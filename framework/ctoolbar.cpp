// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/ctoolbar.h"

#include "framework/afxres.h"
#include "framework/cmdiframewnd.h"
#include "framework/resources.h"

#include <QMainWindow>
#include <QToolBar>

bool CToolBar::CreateEx(CFrameWnd* parent, DWORD /*controlStyle: Qt toolbars are flat*/, DWORD style, RECT /*borders*/, UINT id)
{
    auto* window = parent ? qobject_cast<QMainWindow*>(parent->GetSafeWidget()) : nullptr;
    if (!window)
        return false;
    auto* toolbar = new QToolBar(window);
    toolbar->setObjectName(QStringLiteral("toolbar%1").arg(id));
    toolbar->setWindowTitle(QStringLiteral("Standard"));
    toolbar->setMovable(style & CBRS_GRIPPER);
    toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    toolbar->setVisible(style & WS_VISIBLE);
    Attach(toolbar, false);
    m_pFrame = parent;
    parent->RegisterControlBar(id, this);
    return true;
}

bool CToolBar::LoadToolBar(UINT resourceId)
{
    auto* toolbar = qobject_cast<QToolBar*>(GetSafeWidget());
    auto* frame = dynamic_cast<CMDIFrameWnd*>(m_pFrame);
    const auto& toolbars = CResources::Instance().toolbars;
    auto it = toolbars.find(resourceId);
    if (!toolbar || !frame || it == toolbars.end())
        return false;
    const ToolbarResource& resource = it->second;
    const QImage strip = resource.image ? resource.image() : QImage();
    const QImage strip2x = resource.image2x ? resource.image2x() : QImage();
    toolbar->setIconSize(QSize(resource.buttonWidth, resource.buttonHeight));
    int image = 0;
    for (UINT id : resource.buttons) {
        if (id == ID_SEPARATOR) {
            toolbar->addSeparator();
            continue;
        }
        QAction* action = frame->GetCommandAction(id);
        const QImage icon = strip.copy(image * resource.buttonWidth, 0, resource.buttonWidth, resource.buttonHeight);
        // Qt shows the picture that fits the screen's ratio: the 2x one from 150 % on.
        QImage icon2x = strip2x.copy(image * resource.buttonWidth * 2, 0, resource.buttonWidth * 2, resource.buttonHeight * 2);
        if (!icon.isNull()) {
            QIcon both(QPixmap::fromImage(icon));
            if (!icon2x.isNull() && strip2x.width() >= (image + 1) * resource.buttonWidth * 2) {
                icon2x.setDevicePixelRatio(2);
                both.addPixmap(QPixmap::fromImage(icon2x));
            }
            action->setIcon(both);
        }
        ++image;
        toolbar->addAction(action);
    }
    m_buttons = resource.buttons;
    return true;
}

int CToolBar::GetButtonCount() const
{
    return int(m_buttons.size());
}

UINT CToolBar::GetItemID(int index) const
{
    return index >= 0 && index < int(m_buttons.size()) ? m_buttons[size_t(index)] : 0;
}
