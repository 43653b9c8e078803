// SPDX-License-Identifier: GPL-2.0-or-later
// large-files-bench FILE: the road a folder takes through the program, headless: the photo list of
// FILE's folder opened, every photo shown in a single-photo window, and a film of all of
// them made. One line per step with its time and the process's peak resident memory so far, then
// a summary line. bench/large-files runs it on a folder with and without large files that are no
// photos.

#include "../support/headlessrun.h"

#include "app/cstrevioapp.h"
#include "app/globals.h"
#include "browser/clistview_photos.h"
#include "browser/cstrevioview.h"
#include "framework/afxmessagebox.h"
#include "framework/cdc.h"
#include "framework/cdocument.h"
#include "framework/cmultidoctemplate.h"
#include "platform/paths/localpath.h"
#include "res/resource.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <chrono>
#include <cstdio>
#include <string>


namespace {

template <typename Step>
double measure(const char* name, Step step)
{
    const auto start = std::chrono::steady_clock::now();
    step();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("step=\"%s\" seconds=%.3f peak_kb=%ld\n", name, seconds, PeakKilobytes());
    return seconds;
}

// Paints every photo of the list in a single-photo window, as a window 800 pixels wide would.
void showEach(CStrevioApp& app, CListView_Photos* list)
{
    QImage canvas(800, 600, QImage::Format_RGB32);
    for (qsizetype i = 0; i < list->m_Photos.GetSize(); ++i) {
        g_PathToOpen = list->m_Photos[i];
        CDocument* document = app.m_pPhotoViewTemplate->OpenDocumentFile(QString(), true);
        auto* view = document ? dynamic_cast<CStrevioView*>(document->GetViews().front()) : nullptr;
        if (!view)
            continue;
        view->GetSafeWidget()->setFixedWidth(canvas.width());
        QPainter painter(&canvas);
        CDC dc(&painter);
        view->OnDraw(&dc);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: large-files-bench FILE\n");
        return 2;
    }
    const HeadlessRun headless;
    int qtArgc = 1;
    QApplication qtApp(qtArgc, argv);
    RegisterStrevioResources();
    QStringList messages;
    CStrevioApp app;
    if (!StartProgram(app, &messages))
        return 1;
    QTemporaryDir films;
    g_StartFolder = films.path();
    const QString file = LocalPath::absolute(LocalPath::decode(QByteArray(argv[1])));
    CListView_Photos* list = nullptr;
    const double open = measure("open", [&] {
        app.OpenDocumentFile(file);
        list = NewestPhotoList(app);
    });
    if (!list) {
        std::fprintf(stderr, "large-files-bench: no photo list for %s\n", argv[1]);
        return 1;
    }
    const double show = measure("show each", [&] { showEach(app, list); });
    const double film = measure("film", [&] {
        list->OnSelectAll();
        list->OnMakeFilm();
    });
    const bool made = messages.size() == 1 && messages[0].startsWith(QStringLiteral("The Movie file"));
    std::printf("photos=%lld open_s=%.3f show_s=%.3f film_s=%.3f peak_mb=%.1f film=%s\n",
                static_cast<long long>(list->m_Photos.GetSize()), open, show, film, double(PeakKilobytes()) / 1024,
                made ? "made" : "FAILED");
    app.CloseAllDocuments(true);
    return made ? 0 : 1;
}
