// SPDX-License-Identifier: GPL-2.0-or-later
// A film made in a process of its own, for tests that signal or kill the program while it
// writes. It starts as the program starts, opens the folder of PHOTO, selects every photo and
// makes the film into FILM_FOLDER, printing each message it gives on its standard output; with
// --open-only it only opens the folder (its thumbnails are made, and their cache entries written
// at once, which tests watch) and ends:
//
//     strevio_film_driver PHOTO FILM_FOLDER [--open-only]

#include "app/cstrevioapp.h"
#include "app/globals.h"
#include "app/terminationsignals.h"
#include "browser/clistview_photos.h"
#include "framework/afxmessagebox.h"
#include "framework/afxres.h"
#include "framework/cdocument.h"
#include "framework/cmultidoctemplate.h"
#include "res/resource.h"
#include "thumbnails/thumbnailsettings.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstring>

namespace {

CListView_Photos* OpenList(CStrevioApp& app, const QString& photo)
{
    if (!app.OpenDocumentFile(photo))
        return nullptr;
    for (CView* view : app.m_pPhotoListTemplate->GetDocuments().back()->GetViews())
        if (auto* list = dynamic_cast<CListView_Photos*>(view))
            return list;
    return nullptr;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3 && !(argc == 4 && std::strcmp(argv[3], "--open-only") == 0)) {
        std::fprintf(stderr, "usage: %s PHOTO FILM_FOLDER [--open-only]\n", argv[0]);
        return 2;
    }
    const bool openOnly = argc == 4;
    ThumbnailSettings::current().writeLater = !openOnly;
    QApplication qtApp(argc, argv);
    if (!TerminationSignals::install())
        return 3;
    RegisterStrevioResources();
    AfxSetMessageBoxHandler([](const QString& text, UINT) {
        std::printf("%s\n", text.toUtf8().constData());
        std::fflush(stdout);
        return IDOK;
    });
    CStrevioApp theApp;
    if (!theApp.InitInstance())
        return 1;
    g_StartFolder = QString::fromLocal8Bit(argv[2]);
    const QString photo = QString::fromLocal8Bit(argv[1]);
    QTimer::singleShot(0, &qtApp, [&theApp, photo, openOnly] {
        CListView_Photos* list = OpenList(theApp, photo);
        if (!list) {
            QCoreApplication::exit(TerminationSignals::requested() ? TerminationSignals::exitCode() : 1);
            return;
        }
        if (!openOnly) {
            list->OnSelectAll();
            list->OnMakeFilm();
        }
        if (!TerminationSignals::requested())
            QCoreApplication::exit(0);
    });
    return theApp.Run();
}
