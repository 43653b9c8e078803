// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The built-in help: one window that lists the commands and keys.

class QWidget;

class CHelpWindow {
public:
    // Shows the help window (made once, then raised).
    static void Show(QWidget* parent);
    static QWidget* Window();
};
