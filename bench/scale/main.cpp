// scale-bench: the program's own photo list and film over a folder of photos, headless, each step
// timed. The thumbnail cache is wherever XDG_CACHE_HOME says.
//   scale-bench steps PHOTO   opens PHOTO's folder, then Delete of the first photo, zoom in, zoom
//                             out, refresh
//   scale-bench open PHOTO    opens PHOTO's folder only (a new run, with the cache as it is)
//   scale-bench film PHOTO FILM.avi
//                             opens PHOTO's folder, selects every photo and makes FILM.avi
// Each step prints: step=NAME seconds=S photos=N decodes=D rss_kb=R peak_kb=P

#include "app/cstrevioapp.h"
#include "app/globals.h"
#include "browser/clistview_photos.h"
#include "framework/afxmessagebox.h"
#include "framework/cdocument.h"
#include "framework/cmultidoctemplate.h"
#include "framework/afxres.h"
#include "imaging/reducedpictureloader.h"
#include "res/resource.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

#include <sys/resource.h>
#include <unistd.h>

namespace {

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

long residentKilobytes()
{
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
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

void measure(const char* name, CListView_Photos*& list, const std::function<void()>& step)
{
    const int decodes = ReducedPictureLoader::decodeCount();
    const auto start = std::chrono::steady_clock::now();
    step();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    QApplication::processEvents();
    std::printf("step=%s seconds=%.3f photos=%lld decodes=%d rss_kb=%ld peak_kb=%ld\n", name, seconds,
                list ? static_cast<long long>(list->m_Photos.GetSize()) : 0LL,
                ReducedPictureLoader::decodeCount() - decodes, residentKilobytes(), peakKilobytes());
    std::fflush(stdout);
}

int run(const std::string& command, const QString& photo, const QString& film)
{
    QStringList messages;
    AfxSetMessageBoxHandler([&messages](const QString& text, UINT) {
        messages << text;
        return 1;
    });
    CStrevioApp app;
    if (!app.InitInstance()) {
        std::fprintf(stderr, "scale-bench: the program did not start\n");
        return 1;
    }
    CListView_Photos* list = nullptr;
    measure("open", list, [&] {
        app.OpenDocumentFile(photo);
        list = newestList(app);
    });
    if (!list) {
        std::fprintf(stderr, "scale-bench: no photo list for %s\n", qPrintable(photo));
        return 1;
    }
    if (command == "steps") {
        measure("delete", list, [&] {
            list->GetListCtrl().SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
            list->OnKeyDown(VK_DELETE, 1, 0);
        });
        measure("zoom_in", list, [&] { list->OnZoomPlus(); });
        measure("zoom_out", list, [&] { list->OnZoomMinus(); });
        measure("refresh", list, [&] { list->OnRefreshPhotos(); });
    } else if (command == "film") {
        list->m_FilmName = QFileInfo(film).fileName();
        g_StartFolder = QFileInfo(film).absolutePath();
        list->OnSelectAll();
        measure("film", list, [&] { list->OnMakeFilm(); });
        if (messages.isEmpty() || !messages.last().startsWith(QStringLiteral("The Movie file"))) {
            std::fprintf(stderr, "scale-bench: the film failed: %s\n", qPrintable(messages.join(' ')));
            return 1;
        }
    }
    app.CloseAllDocuments(true);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string command = argc >= 3 ? argv[1] : "";
    if (!(command == "steps" || command == "open" || (command == "film" && argc >= 4))) {
        std::fprintf(stderr, "usage: scale-bench steps|open PHOTO\n       scale-bench film PHOTO FILM.avi\n");
        return 2;
    }
    QTemporaryDir settings; // the recent-file list of this run stays out of the user's
    qputenv("XDG_CONFIG_HOME", settings.path().toUtf8());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    RegisterStrevioResources();
    const QString photo = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
    const QString film = argc >= 4 ? QFileInfo(QString::fromLocal8Bit(argv[3])).absoluteFilePath() : QString();
    return run(command, photo, film);
}
