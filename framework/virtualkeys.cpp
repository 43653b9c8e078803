// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/virtualkeys.h"

#include "framework/afxres.h"

#include <QGuiApplication>
#include <QKeyEvent>

namespace {
const QKeyEvent* g_pKeyEvent = nullptr;

UINT KeypadKey(int key)
{
    switch (key) {
    case Qt::Key_Plus: return VK_ADD;
    case Qt::Key_Minus: return VK_SUBTRACT;
    case Qt::Key_Asterisk: return VK_MULTIPLY;
    case Qt::Key_Slash: return VK_DIVIDE;
    case Qt::Key_Period:
    case Qt::Key_Comma: return VK_DECIMAL;
    case Qt::Key_Enter:
    case Qt::Key_Return: return VK_RETURN;
    default:
        if (key >= Qt::Key_0 && key <= Qt::Key_9)
            return VK_NUMPAD0 + UINT(key - Qt::Key_0);
        return 0;
    }
}
} // namespace

UINT AfxVirtualKeyFromEvent(const QKeyEvent* event)
{
    const int key = event->key();
    if (event->modifiers() & Qt::KeypadModifier) {
        if (UINT vk = KeypadKey(key))
            return vk;
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return 'A' + UINT(key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return '0' + UINT(key - Qt::Key_0);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return VK_F1 + UINT(key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Plus:
    case Qt::Key_Equal: return VK_OEM_PLUS;
    case Qt::Key_Minus:
    case Qt::Key_Underscore: return VK_OEM_MINUS;
    default: return 0;
    }
}

CKeyStateScope::CKeyStateScope(const QKeyEvent* event) : m_pPrevious(g_pKeyEvent)
{
    g_pKeyEvent = event;
}

CKeyStateScope::~CKeyStateScope()
{
    g_pKeyEvent = m_pPrevious;
}

short GetKeyState(int virtualKey)
{
    const Qt::KeyboardModifiers modifiers =
        g_pKeyEvent ? g_pKeyEvent->modifiers() : QGuiApplication::queryKeyboardModifiers();
    Qt::KeyboardModifier wanted;
    switch (UINT(virtualKey)) {
    case VK_SHIFT: wanted = Qt::ShiftModifier; break;
    case VK_CONTROL: wanted = Qt::ControlModifier; break;
    case VK_MENU: wanted = Qt::AltModifier; break;
    default: return 0;
    }
    return (modifiers & wanted) ? short(-128) : short(0);
}
