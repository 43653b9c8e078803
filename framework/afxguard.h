// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Runs a handler the way the framework's dispatch does: an exception that leaves it is reported to
// the user in a message box and goes no further, so no exception ever crosses Qt's event loop.

#include <functional>

// Returns false when the handler ended with an exception (already reported).
bool AfxRunGuarded(const std::function<void()>& handler);
