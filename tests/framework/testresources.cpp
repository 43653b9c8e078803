// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/framework/testresources.h"

#include "framework/afxres.h"
#include "framework/resources.h"

#include <QImage>

namespace {
MenuItemResource Item(const QString& text, UINT id)
{
    return MenuItemResource{text, id, false, {}};
}

MenuItemResource Separator()
{
    return MenuItemResource{};
}

MenuItemResource Popup(const QString& text, std::vector<MenuItemResource> items)
{
    return MenuItemResource{text, 0, false, std::move(items)};
}

MenuItemResource FileMenu()
{
    return Popup("&File", {Item("&Open...\tCtrl+O", ID_FILE_OPEN), Item("&Close", ID_FILE_CLOSE), Separator(),
                           Item("Recent File", ID_FILE_MRU_FILE1), Separator(), Item("E&xit", ID_APP_EXIT)});
}

MenuItemResource CommandMenu(const QString& title)
{
    std::vector<MenuItemResource> items;
    for (UINT id = ID_CMD_VIEW; id <= ID_CMD_BAD_INDEX; ++id)
        items.push_back(Item(QStringLiteral("Command %1").arg(id), id));
    return Popup(title, std::move(items));
}

MenuItemResource WindowMenu()
{
    return Popup("&Window", {Item("&New Window", ID_WINDOW_NEW), Item("&Cascade", ID_WINDOW_CASCADE)});
}

void RegisterMenus(CResources& r)
{
    r.menus[IDR_TEST_MAIN] = MenuResource{{FileMenu(), CommandMenu("&Commands"), Popup("&Help", {Item("&About", ID_APP_ABOUT)})}};
    r.menus[IDR_TYPE_A] = MenuResource{{FileMenu(), CommandMenu("&Photo"), WindowMenu()}};
    r.menus[IDR_TYPE_B] = MenuResource{{FileMenu(), CommandMenu("&List"), Popup("&Zoom", {}), WindowMenu()}};
}

void RegisterAccelerators(CResources& r)
{
    r.accelerators[IDR_TEST_MAIN] = {
        {Qt::Key_S, Qt::ControlModifier, ID_FILE_SAVE},
        {Qt::Key_T, Qt::ControlModifier, ID_CMD_VIEW},
        {Qt::Key_G, Qt::ControlModifier, ID_CMD_GREYED},
        {Qt::Key_Backspace, Qt::AltModifier, ID_EDIT_UNDO},
        {Qt::Key_Delete, Qt::ShiftModifier, ID_EDIT_CUT},
        {Qt::Key_F6, Qt::NoModifier, ID_NEXT_PANE},
    };
}

void RegisterToolbar(CResources& r)
{
    ToolbarResource toolbar;
    toolbar.buttons = {ID_FILE_OPEN, ID_SEPARATOR, ID_CMD_VIEW, ID_CMD_NOBODY};
    toolbar.image = [] {
        QImage strip(16 * 3, 15, QImage::Format_RGB32);
        strip.fill(Qt::darkCyan);
        return strip;
    };
    r.toolbars[IDR_TEST_MAIN] = toolbar;
}

void RegisterStrings(CResources& r)
{
    r.strings[IDR_TEST_MAIN] = kMainCaption;
    r.strings[AFX_IDS_APP_TITLE] = kAppName;
    r.strings[AFX_IDS_IDLEMESSAGE] = "Idle";
    r.strings[IDR_TYPE_A] = "\nPhoto\nPhoto\n\n\nTest.Photo\nTest.Photo";
    r.strings[ID_CMD_VIEW] = "Runs in the view\nView command";
}

void RegisterDialog(CResources& r)
{
    DialogResource dialog{"Test Dialog", 0, 0, 200, 100, DS_MODALFRAME | DS_SETFONT, "MS Shell Dlg", 8, {}};
    dialog.controls = {
        {DialogControlKind::Static, IDC_STATIC, "Name:", 7, 10, 40, 8, SS_RIGHT},
        {DialogControlKind::Edit, IDC_TEST_NAME, "", 52, 8, 80, 14, WS_TABSTOP | ES_AUTOHSCROLL},
        {DialogControlKind::Edit, IDC_TEST_COUNT, "", 52, 28, 40, 14, WS_TABSTOP | ES_CENTER},
        {DialogControlKind::PushButton, IDOK, "OK", 143, 7, 50, 14, WS_TABSTOP | BS_DEFPUSHBUTTON},
        {DialogControlKind::PushButton, IDCANCEL, "Cancel", 143, 26, 50, 14, WS_TABSTOP},
    };
    r.dialogs[IDD_TEST_DIALOG] = dialog;
}
} // namespace

void RegisterTestResources()
{
    CResources& resources = CResources::Instance();
    RegisterMenus(resources);
    RegisterAccelerators(resources);
    RegisterToolbar(resources);
    RegisterStrings(resources);
    RegisterDialog(resources);
}

QStringList& CommandLog()
{
    static QStringList log;
    return log;
}

QString LogEntry(const QString& who, UINT id)
{
    return QStringLiteral("%1:%2").arg(who).arg(id);
}
