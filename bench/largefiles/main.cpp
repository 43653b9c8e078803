// large-files-bench FILE: the road a folder takes through the program, headless: the photo list of
// FILE's folder opened, every photo shown in a single-photo window, and a film of all of
// them made. One line per step with its time and the process's peak resident memory so far, then
// a summary line. bench/large-files runs it on a folder with and without large files that are no
// photos.

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
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <string>

#include <sys/resource.h>

namespace {

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

template <typename Step>
double measure(const char* name, Step step)
{
    const auto start = std::chrono::steady_clock::now();
    step();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("step=\"%s\" seconds=%.3f peak_kb=%ld\n", name, seconds, peakKilobytes());
    return seconds;
}

CListView_Photos* newestList(CStrevioApp& app)
{
    const auto& documents = app.m_pPhotoListTemplate->GetDocuments();
    if (documents.empty())
        return nullptr;
    for (CView* view : documents.back()->GetViews())
        if (auto* list = dynamic_cast<CListView_Photos*>(view))
            return list;
    return nullptr;
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
    QTemporaryDir settings; // the recent-file list of this run stays out of the user's
    qputenv("XDG_CONFIG_HOME", settings.path().toUtf8());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication qtApp(qtArgc, argv);
    RegisterStrevioResources();
    QStringList messages;
    AfxSetMessageBoxHandler([&messages](const QString& text, UINT) {
        messages << text;
        return 1;
    });
    CStrevioApp app;
    if (!app.InitInstance()) {
        std::fprintf(stderr, "large-files-bench: the program did not start\n");
        return 1;
    }
    QTemporaryDir films;
    g_StartFolder = films.path();
    const QString file = LocalPath::absolute(LocalPath::decode(QByteArray(argv[1])));
    CListView_Photos* list = nullptr;
    const double open = measure("open", [&] {
        app.OpenDocumentFile(file);
        list = newestList(app);
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
                static_cast<long long>(list->m_Photos.GetSize()), open, show, film, double(peakKilobytes()) / 1024,
                made ? "made" : "FAILED");
    app.CloseAllDocuments(true);
    return made ? 0 : 1;
}
