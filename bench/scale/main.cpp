// SPDX-License-Identifier: GPL-2.0-or-later
// scale-bench: the program's own photo list and film over a folder of photos, headless, each step
// timed. The thumbnail cache is wherever XDG_CACHE_HOME says.
//   scale-bench steps PHOTO   opens PHOTO's folder, then Delete of the first photo, zoom in, zoom
//                             out, refresh
//   scale-bench open PHOTO    opens PHOTO's folder only (a new run, with the cache as it is)
//   scale-bench film PHOTO FILM.avi
//                             opens PHOTO's folder, selects every photo and makes FILM.avi
//   scale-bench stop PHOTO FILM.avi MS
//                             the same, with Esc pressed MS milliseconds into the film; prints
//                             how long the film took to stop after it (stopped_after_ms=)
// Each step prints: step=NAME seconds=S photos=N decodes=D rss_kb=R peak_kb=P longest_stall_ms=L
// late_ping_pct=P (the share of pings sent at random times that would wait more than 100 ms), and
// the open also first_screen_ms=F: when every cell of the list's first screen held its thumbnail.
// After the open, step=entries lasts until the thumbnail cache's new entries, written when a
// processor is idle, are all on disk; the program answers events meanwhile.
// (L: the longest time the window thread went without processing events during the step, seen
// as the longest gap between two turns of a timer that asks to run every millisecond).

#include "../support/headlessrun.h"

#include "app/cstrevioapp.h"
#include "app/globals.h"
#include "browser/clistview_photos.h"
#include "framework/afxmessagebox.h"
#include "framework/afxres.h"
#include "framework/listviewwidget.h"
#include "thumbnails/cachewriter.h"
#include "thumbnails/reducedpictureloader.h"
#include "res/resource.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>


namespace {

// True once every cell the list shows at its top holds its thumbnail.
bool FirstScreenComplete(CStrevioApp& app)
{
    CListView_Photos* list = NewestPhotoList(app);
    if (!list || !list->m_pList || !list->m_ImageList.GetData())
        return false;
    const CListViewWidget* widget = list->GetListCtrl().GetWidget();
    const std::vector<QImage>& cells = list->m_ImageList.GetData()->images;
    const int count = list->GetListCtrl().GetItemCount();
    if (!widget || count == 0 || cells.size() < size_t(count))
        return false;
    const int bottom = widget->viewport()->rect().bottom();
    for (int k = 0; k < count; ++k) {
        if (widget->visualRect(widget->model()->index(k, 0)).top() > bottom)
            break;
        if (cells[size_t(k)].isNull())
            return false;
    }
    return true;
}

// `screenDone`, when given, is asked at each turn of the event loop; the step then also prints
// first_screen_ms=, when it first said yes (-1: never).
void measure(const char* name, CListView_Photos*& list, const std::function<void()>& step,
             const std::function<bool()>& screenDone = {})
{
    const int decodes = ReducedPictureLoader::decodeCount();
    QElapsedTimer sinceLastTurn;
    QElapsedTimer sinceStart;
    qint64 longestStall = 0;
    qint64 firstScreen = -1;
    QTimer turns;
    turns.setTimerType(Qt::PreciseTimer);
    // A ping of the window manager's that comes while the thread is away waits until it is back:
    // of pings sent at random times, the share answered later than 100 ms is the time spent more
    // than 100 ms into a stall, over the whole step.
    qint64 lateMs = 0;
    QObject::connect(&turns, &QTimer::timeout, [&] {
        const qint64 gap = sinceLastTurn.restart();
        longestStall = std::max(longestStall, gap);
        lateMs += std::max<qint64>(0, gap - 100);
        if (screenDone && firstScreen < 0 && screenDone())
            firstScreen = sinceStart.elapsed();
    });
    sinceStart.start();
    turns.start(1);
    sinceLastTurn.start();
    const auto start = std::chrono::steady_clock::now();
    step();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    longestStall = std::max(longestStall, sinceLastTurn.elapsed());
    lateMs += std::max<qint64>(0, sinceLastTurn.elapsed() - 100);
    turns.stop();
    QApplication::processEvents();
    std::printf("step=%s seconds=%.3f photos=%lld decodes=%d rss_kb=%ld peak_kb=%ld longest_stall_ms=%lld", name,
                seconds, list ? static_cast<long long>(list->m_Photos.GetSize()) : 0LL,
                ReducedPictureLoader::decodeCount() - decodes, ResidentKilobytes(), PeakKilobytes(),
                static_cast<long long>(longestStall));
    std::printf(" late_ping_pct=%.2f", 100.0 * double(lateMs) / std::max(1.0, seconds * 1000));
    if (screenDone)
        std::printf(" first_screen_ms=%lld", static_cast<long long>(firstScreen));
    std::printf("\n");
    std::fflush(stdout);
}

int run(const std::string& command, const QString& photo, const QString& film, int stopAfterMs)
{
    QStringList messages;
    CStrevioApp app;
    if (!StartProgram(app, &messages))
        return 1;
    CListView_Photos* list = nullptr;
    measure(
        "open", list,
        [&] {
            app.OpenDocumentFile(photo);
            list = NewestPhotoList(app);
        },
        [&app] { return FirstScreenComplete(app); });
    if (!list) {
        std::fprintf(stderr, "scale-bench: no photo list for %s\n", qPrintable(photo));
        return 1;
    }
    measure("entries", list, [] {
        while (CacheWriter::shared().pending() > 0) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
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
    } else if (command == "stop") {
        // Esc, as the user presses it, `stopAfterMs` into the film.
        list->m_FilmName = QFileInfo(film).fileName();
        g_StartFolder = QFileInfo(film).absolutePath();
        list->OnSelectAll();
        QElapsedTimer sincePress;
        QTimer::singleShot(stopAfterMs, list->GetListCtrl().GetWidget(), [&] {
            sincePress.start();
            QCoreApplication::postEvent(list->GetListCtrl().GetWidget(),
                                        new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        });
        list->OnMakeFilm();
        const bool stopped = !messages.isEmpty() && messages.last().contains(QStringLiteral("was stopped"));
        std::printf("step=stop pressed_after_ms=%d stopped_after_ms=%lld stopped=%d film_left=%d\n", stopAfterMs,
                    sincePress.isValid() ? static_cast<long long>(sincePress.elapsed()) : -1LL, int(stopped),
                    int(QFileInfo::exists(film)));
        if (!stopped)
            return 1;
    }
    app.CloseAllDocuments(true);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string command = argc >= 3 ? argv[1] : "";
    if (!(command == "steps" || command == "open" || (command == "film" && argc >= 4)
          || (command == "stop" && argc >= 5))) {
        std::fprintf(stderr, "usage: scale-bench steps|open PHOTO\n       scale-bench film PHOTO FILM.avi\n"
                             "       scale-bench stop PHOTO FILM.avi MILLISECONDS\n");
        return 2;
    }
    const HeadlessRun headless;
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    RegisterStrevioResources();
    const QString photo = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
    const QString film = argc >= 4 ? QFileInfo(QString::fromLocal8Bit(argv[3])).absoluteFilePath() : QString();
    return run(command, photo, film, argc >= 5 ? std::atoi(argv[4]) : 0);
}
