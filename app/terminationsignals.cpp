// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/terminationsignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace {

// The number of the signal that arrived, 0 before. A signal may be delivered on any thread (the
// codec has workers): a lock-free atomic is safe in the handler and seen by the UI thread.
std::atomic<std::sig_atomic_t> g_signal{0};
static_assert(std::atomic<std::sig_atomic_t>::is_always_lock_free);
int g_wakePipe[2] = {-1, -1};

extern "C" void OnTerminationSignal(int signal)
{
    const int savedErrno = errno;
    g_signal.store(signal);
    const char byte = 1;
    (void)!::write(g_wakePipe[1], &byte, 1);
    errno = savedErrno;
}

void EndProgram()
{
    char bytes[16];
    while (::read(g_wakePipe[0], bytes, sizeof bytes) > 0) {
    }
    // Leaves the main loop and every dialog's loop above it at once; the windows close once
    // nothing runs on top of them any more (CStrevioApp::ExitInstance).
    QCoreApplication::exit(TerminationSignals::exitCode());
}

bool Handle(int signal)
{
    struct sigaction current {};
    if (::sigaction(signal, nullptr, &current) != 0)
        return false;
    if (!(current.sa_flags & SA_SIGINFO) && current.sa_handler == SIG_IGN)
        return true;
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(signal, &action, nullptr) == 0;
}

} // namespace

bool TerminationSignals::install()
{
    if (g_wakePipe[0] >= 0)
        return true;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || ::pipe2(g_wakePipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    auto* notifier = new QSocketNotifier(g_wakePipe[0], QSocketNotifier::Read, app);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, &EndProgram);
    bool installed = true;
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        installed = Handle(signal) && installed;
    return installed;
}

bool TerminationSignals::requested()
{
    return g_signal.load(std::memory_order_relaxed) != 0;
}

int TerminationSignals::exitCode()
{
    const int signal = g_signal.load(std::memory_order_relaxed);
    return signal != 0 ? 128 + signal : 0;
}
