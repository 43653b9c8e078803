// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The input the program takes while long work lets the event loop run (AfxPumpWorkEvents): what
// only looks happens at once (painting, resizing, moving a window, scrolling with a scroll bar or
// the mouse wheel), keys wait until the work is done, as commands do, and other clicks are
// dropped, so that nothing the user does can start a second piece of work inside the first. Esc
// is the one key taken at once: it asks the work to stop (a film stops; a rebuild goes on).
// Closing keeps its own rule (AfxRunWhenIdle): a close asked for meanwhile follows the work.

#include <QEvent>
#include <QObject>
#include <QPointer>

#include <memory>
#include <utility>
#include <vector>

class CWorkInputFilter : public QObject {
public:
    // Esc pressed while the work ran asks it to stop; work that can be stopped asks this.
    bool StopRequested() const { return m_stopRequested; }
    void ForgetStopRequest() { m_stopRequested = false; }
    // Keys held back so far are given to their widgets, in order, from the event loop.
    void ReleaseDeferredKeys();
    bool HasDeferredKeys() const { return !m_deferred.empty(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> m_deferred;
    bool m_stopRequested = false;
};
