// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/keyboardlocks.h"

#include <QGuiApplication>

#include <dlfcn.h>

namespace {
// Xkb is reached through the X library the xcb platform already loaded, so the program does not
// link X11 itself and runs unchanged on other platforms.
using XkbGetIndicatorStateFn = int (*)(void* display, unsigned int deviceSpec, unsigned int* state);
constexpr unsigned int kXkbUseCoreKbd = 0x0100;

struct XkbAccess {
    void* display = nullptr;
    XkbGetIndicatorStateFn getIndicatorState = nullptr;
};

XkbAccess& Access()
{
    static XkbAccess access = [] {
        XkbAccess a;
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            return a;
        auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        void* library = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
        if (!x11 || !library)
            return a;
        a.display = x11->display();
        a.getIndicatorState = reinterpret_cast<XkbGetIndicatorStateFn>(dlsym(library, "XkbGetIndicatorState"));
        return a;
    }();
    return access;
}
} // namespace

bool KeyboardLocksAvailable()
{
    return Access().display && Access().getIndicatorState;
}

KeyboardLocks ReadKeyboardLocks()
{
    KeyboardLocks locks;
    unsigned int state = 0;
    if (KeyboardLocksAvailable() && Access().getIndicatorState(Access().display, kXkbUseCoreKbd, &state) == 0) {
        locks.caps = state & 0x1;
        locks.num = state & 0x2;
        locks.scroll = state & 0x4;
    }
    return locks;
}
