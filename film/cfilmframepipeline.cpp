// SPDX-License-Identifier: GPL-2.0-or-later
#include "film/cfilmframepipeline.h"

#include "film/filmframe.h"
#include "platform/workers/workerpool.h"

#include <algorithm>
#include <chrono>
#include <iterator>

namespace {
constexpr std::chrono::milliseconds kWaitingStep{10};
}

CFilmFramePipeline::CFilmFramePipeline(bool composeAhead)
    : m_composeAhead(composeAhead)
    , m_tasks(WorkerPool::shared(), kHelperThreadName)
{
}

CFilmFramePipeline::~CFilmFramePipeline()
{
    StopHelpers();
    for (std::size_t i = 0; i < m_canvases.size(); ++i)
        if (m_canvasDCs[i])
            m_canvases[i].ReleaseDC();
}

bool CFilmFramePipeline::Create()
{
    const std::size_t count = m_composeAhead ? m_canvases.size() : 1;
    for (std::size_t i = 0; i < count; ++i) {
        if (!m_canvases[i].Create(kFilmCanvasSize, kFilmCanvasSize, 24))
            return false;
        m_canvasDCs[i] = m_canvases[i].AcquireDC();
    }
    for (int i = 0; m_composeAhead && i < kHelpers && m_tasks.submit([this] { RunHelper(); }); ++i)
        ++m_helpers;
    // Fewer threads compose fewer frames ahead; with none, every frame in turn on this one. The
    // helpers are at work once this returns, unless the pool's threads are all busy elsewhere:
    // then frames nobody has begun are composed here when they are asked for.
    m_tasks.waitForBegun(m_helpers);
    m_composeAhead = m_helpers > 0;
    return true;
}

HBITMAP CFilmFramePipeline::Compose(const QString& photo, const QStringList& upcoming,
                                    const std::function<void()>& whileWaiting)
{
    if (!m_composeAhead) {
        ComposeFilmFrame(m_canvasDCs[0], photo);
        return m_canvases[0].m_Bitmap;
    }
    std::unique_lock lock(m_mutex);
    m_held = -1; // the caller is done with the previous frame
    Queue(lock, QStringList{photo} + upcoming.mid(0, kAhead));
    if (m_jobs.front().state == State::Waiting) {
        // No helper has begun it: composed here, as a helper would.
        Job& job = m_jobs.front();
        job.state = State::Composing;
        lock.unlock();
        try {
            ComposeFilmFrame(m_canvasDCs[std::size_t(job.canvas)], job.photo);
        } catch (...) {
            job.error = std::current_exception();
        }
        lock.lock();
        job.state = State::Composed;
        m_changed.notify_all();
    }
    const auto composed = [this] { return m_jobs.front().state == State::Composed; };
    while (!m_changed.wait_for(lock, kWaitingStep, composed))
        if (whileWaiting) {
            lock.unlock();
            whileWaiting();
            lock.lock();
        }
    const Job taken = m_jobs.front();
    m_jobs.pop_front();
    m_held = taken.canvas;
    lock.unlock();
    if (taken.error)
        std::rethrow_exception(taken.error);
    return m_canvases[std::size_t(taken.canvas)].m_Bitmap;
}

void CFilmFramePipeline::Queue(std::unique_lock<std::mutex>& lock, const QStringList& photos)
{
    std::size_t kept = 0;
    for (auto job = m_jobs.begin(); job != m_jobs.end() && qsizetype(kept) < photos.size() && job->photo == photos[kept];
         ++job)
        ++kept;
    // Frames no longer asked for go; one a helper is composing goes once it is done.
    for (;;) {
        for (auto job = std::next(m_jobs.begin(), std::ptrdiff_t(kept)); job != m_jobs.end();)
            job = job->state == State::Composing ? std::next(job) : m_jobs.erase(job);
        if (m_jobs.size() == kept)
            break;
        m_changed.wait(lock);
    }
    for (auto i = qsizetype(kept); i < photos.size(); ++i)
        m_jobs.push_back(Job{photos[i], FreeCanvas()});
    m_changed.notify_all();
}

// One of the kAhead + 1 canvases is always free here: the caller holds none while it queues at
// most kAhead + 1 frames.
int CFilmFramePipeline::FreeCanvas() const
{
    for (int canvas = 0; canvas < int(m_canvases.size()); ++canvas)
        if (canvas != m_held
            && std::none_of(m_jobs.begin(), m_jobs.end(), [canvas](const Job& job) { return job.canvas == canvas; }))
            return canvas;
    return -1;
}

void CFilmFramePipeline::RunHelper()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        auto job = m_jobs.end();
        m_changed.wait(lock, [&] {
            job = std::find_if(m_jobs.begin(), m_jobs.end(), [](const Job& j) { return j.state == State::Waiting; });
            return m_stopping || job != m_jobs.end();
        });
        if (m_stopping)
            return;
        // A job being composed stays in the list, so `job` stays valid until it is composed.
        job->state = State::Composing;
        const QString photo = job->photo;
        const HDC canvasDC = m_canvasDCs[std::size_t(job->canvas)];
        lock.unlock();
        std::exception_ptr error;
        try {
            ComposeFilmFrame(canvasDC, photo);
        } catch (...) {
            error = std::current_exception(); // raised on the caller's thread when it takes the frame
        }
        lock.lock();
        job->error = error;
        job->state = State::Composed;
        m_changed.notify_all();
    }
}

void CFilmFramePipeline::StopHelpers()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_tasks.finish();
}
