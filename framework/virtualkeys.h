// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Turns Qt key events into the virtual-key codes that views receive.

#include "platform/wintypes.h"

class QKeyEvent;

UINT AfxVirtualKeyFromEvent(const QKeyEvent* event);

// Whether a modifier key (VK_SHIFT, VK_CONTROL, VK_MENU) is held: negative when it is down, as
// the key message being handled reports it (or the keyboard's state outside key messages).
short GetKeyState(int virtualKey);

// Makes `event`'s modifiers the state GetKeyState reports while the event is handled.
class CKeyStateScope {
public:
    explicit CKeyStateScope(const QKeyEvent* event);
    ~CKeyStateScope();
    CKeyStateScope(const CKeyStateScope&) = delete;
    CKeyStateScope& operator=(const CKeyStateScope&) = delete;

private:
    const QKeyEvent* m_pPrevious;
};
