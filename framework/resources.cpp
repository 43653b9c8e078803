// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/resources.h"

#include "framework/afxres.h"

namespace {
// The framework's standard English prompts, "status-bar prompt\ntooltip".
void AddStandardStrings(std::map<UINT, QString>& s)
{
    s[ID_FILE_NEW] = "Create a new document\nNew";
    s[ID_FILE_OPEN] = "Open an existing document\nOpen";
    s[ID_FILE_CLOSE] = "Close the active document\nClose";
    s[ID_FILE_SAVE] = "Save the active document\nSave";
    s[ID_FILE_SAVE_AS] = "Save the active document with a new name\nSave As";
    s[ID_FILE_PRINT_SETUP] = "Change the printer and printing options\nPage Setup";
    s[ID_FILE_PRINT] = "Print the active document\nPrint";
    s[ID_FILE_PRINT_DIRECT] = "Print the active document using current options\nQuick Print";
    s[ID_FILE_PRINT_PREVIEW] = "Display full pages\nPrint Preview";
    for (UINT id = ID_FILE_MRU_FILE1; id <= ID_FILE_MRU_FILE16; ++id)
        s[id] = "Open this document";
    s[ID_EDIT_COPY] = "Copy the selection and put it on the Clipboard\nCopy";
    s[ID_EDIT_CUT] = "Cut the selection and put it on the Clipboard\nCut";
    s[ID_EDIT_PASTE] = "Insert Clipboard contents\nPaste";
    s[ID_EDIT_UNDO] = "Undo the last action\nUndo";
    s[ID_WINDOW_NEW] = "Open another window for the active document\nNew Window";
    s[ID_WINDOW_ARRANGE] = "Arrange icons at the bottom of the window\nArrange Icons";
    s[ID_WINDOW_CASCADE] = "Arrange windows so they overlap\nCascade Windows";
    s[ID_WINDOW_TILE_HORZ] = "Arrange windows as non-overlapping tiles\nTile Windows";
    s[ID_APP_ABOUT] = "Display program information, version number and copyright\nAbout";
    s[ID_APP_EXIT] = "Quit the application; prompts to save documents\nExit";
    s[ID_HELP_INDEX] = "Opens Help\nHelp Topics";
    s[ID_HELP_FINDER] = "List Help topics\nHelp Topics";
    s[ID_HELP_USING] = "Display instructions about how to use help\nHelp";
    s[ID_CONTEXT_HELP] = "Display help for clicked on buttons, menus and windows\nHelp";
    s[ID_HELP] = "Display help for current task or command\nHelp";
    s[ID_NEXT_PANE] = "Switch to the next window pane\nNext Pane";
    s[ID_PREV_PANE] = "Switch back to the previous window pane\nPrevious Pane";
    s[ID_VIEW_TOOLBAR] = "Show or hide the toolbar\nToggle ToolBar";
    s[ID_VIEW_STATUS_BAR] = "Show or hide the status bar\nToggle StatusBar";
    s[ID_INDICATOR_CAPS] = "CAP";
    s[ID_INDICATOR_NUM] = "NUM";
    s[ID_INDICATOR_SCRL] = "SCRL";
    s[AFX_IDS_IDLEMESSAGE] = "Ready";
}
} // namespace

CResources::CResources()
{
    AddStandardStrings(strings);
}

CResources& CResources::Instance()
{
    static CResources resources;
    return resources;
}

QString AfxLoadString(UINT id)
{
    const auto& strings = CResources::Instance().strings;
    auto it = strings.find(id);
    return it == strings.end() ? QString() : it->second;
}

QIcon AfxLoadIcon(UINT id)
{
    const auto& icons = CResources::Instance().icons;
    auto it = icons.find(id);
    return it == icons.end() ? QIcon() : it->second();
}

QString AfxCommandPrompt(UINT id)
{
    return AfxLoadString(id).section(QLatin1Char('\n'), 0, 0);
}

QString AfxCommandTooltip(UINT id)
{
    const QString text = AfxLoadString(id);
    return text.contains(QLatin1Char('\n')) ? text.section(QLatin1Char('\n'), 1) : QString();
}
