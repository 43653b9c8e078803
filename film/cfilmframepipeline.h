// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Composes a film's frames ahead on helper threads of the worker pool: while the caller stores the
// frame of one photo, the frames of the next photos are composed onto canvases of their own. The
// frames are the ones ComposeFilmFrame makes, byte for byte, whichever thread composed them; a
// frame no helper has begun when it is asked for is composed by the caller. The helpers work only
// as long as the object: the destructor lets the frames under way finish and gives the threads
// back to the pool, also when an exception leaves the caller.

#include "film/cdibimage.h"
#include "platform/gdi/gdi.h"
#include "platform/workers/workertasks.h"

#include <QString>
#include <QStringList>

#include <array>
#include <condition_variable>
#include <exception>
#include <functional>
#include <list>
#include <mutex>

class CFilmFramePipeline {
public:
    // Helper threads: two, so that while photos decode slower than frames are stored both cores
    // stay busy; each decodes one photo at a time.
    static constexpr int kHelpers = 2;
    // Photos composed ahead, each onto a canvas of its own: more than the helpers, so that one
    // photo slow to decode (a large progressive JPEG) does not leave the other helper idle.
    static constexpr int kAhead = 4;
    // The helper threads' name while they help, as `ps -L` and /proc/<pid>/task/<tid>/comm show it.
    static constexpr char kHelperThreadName[] = "film frames";

    // With `composeAhead` false every frame is composed on the calling thread when it is asked
    // for, on one canvas, as a film was made before there were two cores to make it on.
    explicit CFilmFramePipeline(bool composeAhead = true);
    ~CFilmFramePipeline();
    CFilmFramePipeline(const CFilmFramePipeline&) = delete;
    CFilmFramePipeline& operator=(const CFilmFramePipeline&) = delete;

    // Creates the canvases and puts the helpers to work; false when the canvases cannot be had.
    // Without threads to be had, frames are composed on the calling thread.
    bool Create();
    // The 24-bit canvas holding the frame of `photo`, unchanged until the next call. `upcoming`
    // names the photos the next calls will ask for, in order: the first kAhead of them are
    // composed meanwhile. An exception raised while composing the frame of `photo` is raised here.
    // While it waits for a helper to finish that frame, `whileWaiting` is called every few
    // milliseconds (the caller's window answers meanwhile).
    HBITMAP Compose(const QString& photo, const QStringList& upcoming = {},
                    const std::function<void()>& whileWaiting = {});

private:
    enum class State { Waiting, Composing, Composed };
    struct Job {
        QString photo;
        int canvas;
        State state = State::Waiting;
        std::exception_ptr error;
    };

    void RunHelper();
    // Makes the queue `photos`, in order, keeping the jobs already queued for them.
    void Queue(std::unique_lock<std::mutex>& lock, const QStringList& photos);
    int FreeCanvas() const;
    void StopHelpers();

    bool m_composeAhead;
    std::array<CDibImage, kAhead + 1> m_canvases;
    std::array<HDC, kAhead + 1> m_canvasDCs{};

    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_stopping = false;
    std::list<Job> m_jobs; // the photo asked for first, then those ahead
    int m_held = -1;       // the canvas the caller has, or -1
    int m_helpers = 0;     // helpers at work
    WorkerTasks m_tasks;
};
