// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The framework's message box: a modal box titled with the application's name, with the
// information icon and an OK button unless the type asks otherwise. Tests replace the box through
// one seam that records the text and answers.

#include "platform/wintypes.h"

#include <QString>

#include <functional>

int AfxMessageBox(const QString& text, UINT type = 0x40 /* MB_OK | MB_ICONINFORMATION */, UINT helpId = 0);

using MessageBoxHandler = std::function<int(const QString& text, UINT type)>;
// Installs a replacement for the box; an empty function restores the real one. Returns the
// previous handler.
MessageBoxHandler AfxSetMessageBoxHandler(MessageBoxHandler handler);
