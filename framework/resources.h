// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The program's resources, loaded by id as the framework needs them: menus, accelerator tables,
// toolbars, strings, dialog templates and icons. The program registers its own at start-up; the
// framework's standard strings are built in.

#include "platform/wintypes.h"

#include <QIcon>
#include <QImage>
#include <QKeySequence>
#include <QString>

#include <functional>
#include <map>
#include <vector>

struct MenuItemResource {
    QString text;     // "&Open...\tCtrl+O"; empty for a separator
    UINT id = 0;      // 0 for a separator or a popup
    bool grayed = false;
    std::vector<MenuItemResource> popup; // the items of a popup
    bool IsSeparator() const { return text.isEmpty() && popup.empty(); }
};

struct MenuResource {
    std::vector<MenuItemResource> popups;
};

struct AcceleratorResource {
    int key;                       // Qt::Key
    Qt::KeyboardModifiers modifiers;
    UINT id;
};

struct ToolbarResource {
    int buttonWidth = 16;
    int buttonHeight = 15;
    std::function<QImage()> image; // one image per button, side by side
    // The same buttons drawn at twice the size, for screens at 150 % and more; none: `image` serves.
    std::function<QImage()> image2x;
    std::vector<UINT> buttons;     // ID_SEPARATOR (0) for a separator
};

enum class DialogControlKind { PushButton, GroupBox, Edit, Static, Icon };

struct DialogControlResource {
    DialogControlKind kind;
    int id;
    QString text;
    int x, y, cx, cy; // dialog units
    DWORD style;
};

struct DialogResource {
    QString caption;
    int x, y, cx, cy; // dialog units
    DWORD style;
    QString fontName;
    int pointSize;
    std::vector<DialogControlResource> controls;
};

class CResources {
public:
    static CResources& Instance();

    std::map<UINT, MenuResource> menus;
    std::map<UINT, std::vector<AcceleratorResource>> accelerators;
    std::map<UINT, ToolbarResource> toolbars;
    std::map<UINT, QString> strings;
    std::map<UINT, DialogResource> dialogs;
    std::map<UINT, std::function<QIcon()>> icons;

private:
    CResources();
};

QString AfxLoadString(UINT id);         // empty when the table has no such string
QIcon AfxLoadIcon(UINT id);             // a null icon when there is none
QString AfxCommandPrompt(UINT id);      // the string's text before its line break
QString AfxCommandTooltip(UINT id);     // the string's text after its line break
