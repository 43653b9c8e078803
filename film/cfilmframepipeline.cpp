#include "film/cfilmframepipeline.h"

#include "film/filmframe.h"

#include <system_error>
#include <utility>

#include <pthread.h>

CFilmFramePipeline::CFilmFramePipeline(bool composeAhead) : m_composeAhead(composeAhead) {}

CFilmFramePipeline::~CFilmFramePipeline()
{
    StopHelper();
    for (std::size_t i = 0; i < m_canvases.size(); ++i)
        if (m_canvasDCs[i])
            m_canvases[i].ReleaseDC();
}

bool CFilmFramePipeline::Create()
{
    const std::size_t count = m_composeAhead ? 2 : 1;
    for (std::size_t i = 0; i < count; ++i) {
        if (!m_canvases[i].Create(kFilmCanvasSize, kFilmCanvasSize, 24))
            return false;
        m_canvasDCs[i] = m_canvases[i].AcquireDC();
    }
    if (m_composeAhead) {
        try {
            m_helper = std::thread(&CFilmFramePipeline::RunHelper, this);
            pthread_setname_np(m_helper.native_handle(), kHelperThreadName);
        } catch (const std::system_error&) {
            m_composeAhead = false; // no thread to be had: every frame in turn, on this one
        }
    }
    return true;
}

HBITMAP CFilmFramePipeline::Compose(const QString& photo, const QString& upcoming)
{
    int canvas = CollectAhead(photo);
    const bool composed = canvas >= 0;
    if (!composed)
        canvas = 0;
    if (m_composeAhead && !upcoming.isEmpty())
        ComposeAhead(upcoming, 1 - canvas);
    if (!composed)
        ComposeFilmFrame(m_canvasDCs[canvas], photo);
    return m_canvases[canvas].m_Bitmap;
}

int CFilmFramePipeline::CollectAhead(const QString& photo)
{
    std::unique_lock lock(m_mutex);
    if (!m_pending)
        return -1;
    m_changed.wait(lock, [this] { return m_composed; });
    m_pending = false;
    if (m_aheadPhoto != photo)
        return -1;
    if (m_aheadError)
        std::rethrow_exception(std::exchange(m_aheadError, nullptr));
    return m_aheadCanvas;
}

void CFilmFramePipeline::ComposeAhead(const QString& photo, int canvas)
{
    {
        std::lock_guard lock(m_mutex);
        m_aheadPhoto = photo;
        m_aheadCanvas = canvas;
        m_aheadError = nullptr;
        m_composed = false;
        m_pending = true;
    }
    m_changed.notify_all();
}

void CFilmFramePipeline::RunHelper()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stopping || (m_pending && !m_composed); });
        if (m_stopping)
            return;
        const QString photo = m_aheadPhoto;
        const HDC canvasDC = m_canvasDCs[std::size_t(m_aheadCanvas)];
        lock.unlock();
        std::exception_ptr error;
        try {
            ComposeFilmFrame(canvasDC, photo);
        } catch (...) {
            error = std::current_exception(); // raised on the caller's thread when it takes the frame
        }
        lock.lock();
        m_aheadError = error;
        m_composed = true;
        m_changed.notify_all();
    }
}

void CFilmFramePipeline::StopHelper()
{
    if (!m_helper.joinable())
        return;
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_helper.join();
}
