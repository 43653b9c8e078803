// Making a film from the photos selected in a photo list.

#include "app/cframetools.h"
#include "app/globals.h"
#include "app/terminationsignals.h"
#include "browser/clistview_photos.h"
#include "film/cdibimage.h"
#include "film/cfilmwriter.h"
#include "film/filmframe.h"
#include "framework/afxmessagebox.h"
#include "framework/afxres.h"
#include "framework/cframewnd.h"
#include "framework/cwaitcursor.h"
#include "framework/cwinapp.h"
#include "platform/paths/localpath.h"

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
        const HRESULT result = g_pFilmWriter->Close(keep);
        g_pFrameTools->m_Progress.DestroyWindow();
        if (CFrameWnd* frame = AfxGetMainWnd())
            frame->SetMessageText(QString());
        return result;
    }

private:
    bool m_bFinished = false;
};

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
        CDibImage canvas;
        if (!canvas.Create(kFilmCanvasSize, kFilmCanvasSize, 24)) {
            run.Finish(false);
            AfxMessageBox(QStringLiteral("Can not create Image."), MB_OK | MB_ICONINFORMATION);
            return;
        }
        HDC canvasDC = canvas.AcquireDC();
        g_pFrameTools->ShowProgress(QStringLiteral(" Creating a Film:  "), nullptr);
        std::int32_t k = 0;
        for (int i = m_pList->GetNextItem(-1, LVNI_SELECTED); i != -1 && !TerminationSignals::requested();) {
            const int next = m_pList->GetNextItem(i, LVNI_SELECTED);
            ComposeFilmFrame(canvasDC, m_Photos[i]);
            g_pFilmWriter->AddFrame(canvas.m_Bitmap);
            ++k;
            g_pFrameTools->m_Progress.SendMessage(PBM_SETPOS, std::uintptr_t((100 * qint64(k)) / count), 0);
            g_pFrameTools->m_Progress.RedrawWindow(RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
            m_Folder = QString::asprintf(" Frame %5d / %5d ", k, count);
            if (CFrameWnd* frame = AfxGetMainWnd())
                frame->SetMessageText(m_Folder);
            i = next;
        }
        canvas.ReleaseDC();
        canvas.Destroy();
        // The program is ending: the film is dropped (CFilmRun) and the earlier one kept.
        if (TerminationSignals::requested())
            return;
        result = run.Finish(true);
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
