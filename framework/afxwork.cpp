// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/afxwork.h"

#include <QCoreApplication>
#include <QTimer>

#include <utility>
#include <vector>

namespace {

int g_workDepth = 0;

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
    ++g_workDepth;
}

void AfxEndWork()
{
    if (--g_workDepth == 0 && !WaitingActions().empty())
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
