// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/afxwork.h"

#include "framework/cworkinputfilter.h"
#include "platform/workers/workertasks.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <utility>
#include <vector>

namespace {

int g_workDepth = 0;
int g_pumpDepth = 0;
// Often enough for a window manager's ping and smooth scrolling, seldom enough to cost the work
// nothing worth measuring.
constexpr qint64 kPumpIntervalMs = 10;

CWorkInputFilter& InputFilter()
{
    static CWorkInputFilter* filter = new CWorkInputFilter; // lives as long as the program
    return *filter;
}

std::vector<std::function<void()>>& WaitingActions()
{
    static std::vector<std::function<void()>> actions;
    return actions;
}

void RunWaitingActions()
{
    // Work begun again before the event loop came round ends with a schedule of its own.
    if (AfxIsWorking())
        return;
    std::vector<std::function<void()>> actions = std::exchange(WaitingActions(), {});
    for (std::function<void()>& action : actions)
        action();
}

void ScheduleWaitingActions()
{
    if (QCoreApplication* app = QCoreApplication::instance())
        QTimer::singleShot(0, app, &RunWaitingActions);
}

} // namespace

void AfxBeginWork()
{
    if (g_workDepth++ == 0)
        InputFilter().ForgetStopRequest();
    // Work split into parts on the worker threads (a film frame's encoding) answers the window
    // between the parts the window thread does itself.
    WorkerTasks::setBetweenParts(&AfxPumpWorkEvents);
}

void AfxEndWork()
{
    if (--g_workDepth > 0)
        return;
    if (InputFilter().HasDeferredKeys())
        InputFilter().ReleaseDeferredKeys();
    if (!WaitingActions().empty())
        ScheduleWaitingActions();
}

bool AfxIsWorking()
{
    return g_workDepth > 0;
}

void AfxRunWhenIdle(std::function<void()> action)
{
    WaitingActions().push_back(std::move(action));
    if (!AfxIsWorking())
        ScheduleWaitingActions();
}

void AfxPumpWorkEvents()
{
    QCoreApplication* app = QCoreApplication::instance();
    static QElapsedTimer lastPump;
    if (!app || !AfxIsWorking() || g_pumpDepth > 0 || (lastPump.isValid() && lastPump.elapsed() < kPumpIntervalMs))
        return;
    ++g_pumpDepth;
    app->installEventFilter(&InputFilter());
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    app->removeEventFilter(&InputFilter());
    --g_pumpDepth;
    lastPump.start();
}

bool AfxWorkStopRequested()
{
    return AfxIsWorking() && InputFilter().StopRequested();
}
