// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// SIGTERM, SIGINT and SIGHUP end the program the orderly way instead of at once: a film being
// written is dropped (its temporary file removed, an earlier film of that name kept) and the
// windows close as on File > Exit. The handler only records the signal and wakes the event loop
// through a pipe; the event loop then leaves every loop it runs (a dialog's too), and work that
// processes no events while it runs, such as the film loop, asks requested() as it goes.

class TerminationSignals {
public:
    // Call once, after the application object exists. A signal the program was started with
    // ignored (nohup) stays ignored. False when the handlers could not be installed.
    static bool install();
    // True once a termination signal arrived.
    static bool requested();
    // 128 + the signal's number, the status a shell reports for it; 0 before any signal.
    static int exitCode();
};
