#pragma once
// Composes a film's frames one photo ahead on a helper thread: while the caller stores the frame
// of one photo, the frame of the next one is composed onto a second canvas. The frames are the
// ones ComposeFilmFrame makes, byte for byte, whichever thread composed them. The helper thread
// lives only as long as the object: the destructor lets a frame under way finish and joins the
// thread, also when an exception leaves the caller.

#include "film/cdibimage.h"
#include "platform/gdi/gdi.h"

#include <QString>

#include <array>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

class CFilmFramePipeline {
public:
    // The helper thread's name, as `ps -L` and /proc/<pid>/task/<tid>/comm show it.
    static constexpr char kHelperThreadName[] = "film frames";

    // With `composeAhead` false every frame is composed on the calling thread when it is asked
    // for, on one canvas, as a film was made before there were two cores to make it on.
    explicit CFilmFramePipeline(bool composeAhead = true);
    ~CFilmFramePipeline();
    CFilmFramePipeline(const CFilmFramePipeline&) = delete;
    CFilmFramePipeline& operator=(const CFilmFramePipeline&) = delete;

    // Creates the canvases and starts the helper thread; false when the canvases cannot be had.
    // Without a thread to be had, frames are composed on the calling thread.
    bool Create();
    // The 24-bit canvas holding the frame of `photo`, unchanged until the next call. `upcoming`,
    // when not empty, is the photo the next call will ask for: its frame is composed meanwhile.
    // An exception raised while composing the frame of `photo` is raised here.
    HBITMAP Compose(const QString& photo, const QString& upcoming = QString());

private:
    void RunHelper();
    // The canvas the frame of `photo` was composed on ahead, or -1 when none was; waits for a
    // frame under way either way.
    int CollectAhead(const QString& photo);
    void ComposeAhead(const QString& photo, int canvas);
    void StopHelper();

    bool m_composeAhead;
    std::array<CDibImage, 2> m_canvases;
    std::array<HDC, 2> m_canvasDCs{};

    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_stopping = false;
    bool m_pending = false; // a frame was asked of the helper and not yet collected
    bool m_composed = false;
    QString m_aheadPhoto;
    int m_aheadCanvas = 0;
    std::exception_ptr m_aheadError;
    std::thread m_helper;
};
