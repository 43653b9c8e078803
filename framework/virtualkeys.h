#pragma once
// Turns Qt key events into the virtual-key codes that views receive.

#include "platform/wintypes.h"

class QKeyEvent;

UINT AfxVirtualKeyFromEvent(const QKeyEvent* event);
