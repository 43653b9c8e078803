// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Windows are never destroyed under a handler that is still running. While a view runs work (a
// command or key of its own, a thumbnail rebuild, a film, a dialog it opened), a close asked for
// meanwhile, in any way, is remembered and carried out from the event loop once the work is done.

#include <functional>

void AfxBeginWork();
// The end of the outermost work schedules the actions that waited for it.
void AfxEndWork();
bool AfxIsWorking();
// Runs `action` from the event loop once no work runs. The action checks that what it acts on
// still exists.
void AfxRunWhenIdle(std::function<void()> action);
// Called by long work between its steps (photos, frames): lets the event loop run, at most every
// few milliseconds, so that the window answers, repaints and scrolls. Input that would act is held
// back or dropped meanwhile (CWorkInputFilter); keys held back follow once no work runs.
void AfxPumpWorkEvents();
// True once Esc was pressed during the outermost work now running.
bool AfxWorkStopRequested();
