// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The state of the keyboard's lock keys, where the windowing system reports it (X11).

struct KeyboardLocks {
    bool caps = false;
    bool num = false;
    bool scroll = false;
};

bool KeyboardLocksAvailable();
KeyboardLocks ReadKeyboardLocks();
