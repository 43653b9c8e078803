// SPDX-License-Identifier: GPL-2.0-or-later
// Making a film from the photos selected in a photo list.

#include "app/cframetools.h"
#include "app/globals.h"
#include "app/terminationsignals.h"
#include "browser/clistview_photos.h"
#include "film/cfilmframepipeline.h"
#include "film/cfilmwriter.h"
#include "framework/afxmessagebox.h"
#include "framework/afxres.h"
#include "framework/afxwork.h"
#include "framework/clistctrl.h"
#include "framework/cframewnd.h"
#include "framework/cwaitcursor.h"
#include "framework/cwinapp.h"
#include "platform/paths/localpath.h"
#include "platform/workers/workerpool.h"
#include "platform/workers/workertasks.h"

#include <optional>

namespace {
// Whatever way MakeFilm is left, the film is finished or dropped, the progress display is taken
// down and the wait cursor ends.
class CFilmRun {
public:
    CFilmRun() { AfxBeginWaitCursor(); }
    ~CFilmRun()
    {
        if (!m_bFinished)
            Finish(false);
        AfxEndWaitCursor();
    }
    CFilmRun(const CFilmRun&) = delete;
    CFilmRun& operator=(const CFilmRun&) = delete;

    HRESULT Finish(bool keep)
    {
        m_bFinished = true;
        // Keeping the film writes its index and makes it durable (fsync, then a rename that may
        // free an earlier film of hundreds of megabytes): a quarter of a second or more, during
        // which the window answers. A dropped film goes at once.
        HRESULT result = AVIERR_OK;
        if (keep)
            WorkerTasks::runAside(WorkerPool::shared(), [&result] { result = g_pFilmWriter->Close(true); },
                                  &AfxPumpWorkEvents);
        else
            result = g_pFilmWriter->Close(false);
        g_pFrameTools->m_Progress.DestroyWindow();
        if (CFrameWnd* frame = AfxGetMainWnd())
            frame->SetMessageText(QString());
        return result;
    }

private:
    bool m_bFinished = false;
};

// The photos of the selected list items from `item` on that are composed ahead. They stop before
// an item without a photo, which raises its error when its own frame is asked for, as before.
QStringList PhotosAhead(const CListCtrl& list, const CStringArray& photos, int item)
{
    QStringList ahead;
    for (; item >= 0 && item < photos.GetSize() && ahead.size() < CFilmFramePipeline::kAhead;
         item = list.GetNextItem(item, LVNI_SELECTED))
        ahead << photos[item];
    return ahead;
}

} // namespace

void CListView_Photos::OnMakeFilm()
{
    MakeFilm(QStringLiteral("%1/%2").arg(g_StartFolder, m_FilmName));
}

void CListView_Photos::MakeFilm(QString fullPath)
{
    const std::int32_t count = std::int32_t(m_pList->GetSelectedCount());
    if (count == 0) {
        AfxMessageBox(QStringLiteral("Please select one or more Photos first."), MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (!g_pFilmWriter->Open(fullPath, m_FilmFps)) {
        m_Folder = QStringLiteral("Can not create a Film file \"%1\".").arg(LocalPath::display(fullPath));
        AfxMessageBox(m_Folder, MB_OK | MB_ICONINFORMATION);
        return;
    }
    CBusyScope busy(this);
    HRESULT result = AVIERR_OK;
    {
        CFilmRun run;
        // Composes the next photos' frames while this one is stored; its helpers end before the
        // film does, so that the film is finished on a free worker thread.
        std::optional<CFilmFramePipeline> pipeline(std::in_place);
        CFilmFramePipeline& frames = *pipeline;
        if (!frames.Create()) {
            run.Finish(false);
            AfxMessageBox(QStringLiteral("Can not create Image."), MB_OK | MB_ICONINFORMATION);
            return;
        }
        g_pFrameTools->ShowProgress(QStringLiteral(" Creating a Film:  "), nullptr);
        // One way out for every stop: Esc, a termination signal, a frame that cannot be stored.
        // The film is then dropped at once (the earlier one kept), before any further photo is
        // decoded or encoded.
        const auto stopped = [] { return TerminationSignals::requested() || AfxWorkStopRequested(); };
        std::int32_t k = 0;
        for (int i = m_pList->GetNextItem(-1, LVNI_SELECTED); i != -1 && !stopped();) {
            const int next = m_pList->GetNextItem(i, LVNI_SELECTED);
            // The window answers while the frame is still being composed, too.
            const HBITMAP composed = frames.Compose(m_Photos[i], PhotosAhead(*m_pList, m_Photos, next), &AfxPumpWorkEvents);
            const HRESULT stored = g_pFilmWriter->AddFrame(composed);
            if (stored != AVIERR_OK) {
                result = stored;
                break;
            }
            ++k;
            g_pFrameTools->SetProgress(k, count);
            m_Folder = QString::asprintf(" Frame %5d / %5d ", k, count);
            if (CFrameWnd* frame = AfxGetMainWnd())
                frame->SetMessageText(m_Folder);
            AfxPumpWorkEvents();
            i = next;
        }
        pipeline.reset();
        // The program is ending: the film is dropped (CFilmRun) and the earlier one kept.
        if (TerminationSignals::requested())
            return;
        const bool stoppedByEsc = result == AVIERR_OK && AfxWorkStopRequested();
        const HRESULT finished = run.Finish(result == AVIERR_OK && !stoppedByEsc);
        if (stoppedByEsc) {
            m_Folder = QStringLiteral("The Film \"%1\" was stopped; nothing was written.")
                           .arg(LocalPath::display(fullPath));
            AfxMessageBox(m_Folder, MB_OK | MB_ICONINFORMATION);
            return;
        }
        if (result == AVIERR_OK)
            result = finished;
    }
    if (result != AVIERR_OK) {
        m_Folder = QStringLiteral("Can not write the Film file \"%1\".\n\nThe disk may be full or its folder may be gone; "
                                  "an earlier film of that name was kept.")
                       .arg(LocalPath::display(fullPath));
        AfxMessageBox(m_Folder, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    m_Folder = QStringLiteral("The Movie file \"%1\"was created in\n\n\"%2\".")
                   .arg(LocalPath::display(m_FilmName), LocalPath::display(fullPath));
    AfxMessageBox(m_Folder, MB_OK | MB_ICONINFORMATION);
}
