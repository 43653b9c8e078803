// SPDX-License-Identifier: GPL-2.0-or-later
#include "headlessrun.h"

#include "app/cstrevioapp.h"
#include "browser/clistview_photos.h"
#include "framework/afxmessagebox.h"
#include "framework/cdocument.h"
#include "framework/cmultidoctemplate.h"

#include <cstdio>
#include <fstream>

#include <sys/resource.h>
#include <unistd.h>

HeadlessRun::HeadlessRun()
{
    qputenv("XDG_CONFIG_HOME", m_settings.path().toUtf8());
    if (qEnvironmentVariableIsEmpty("XDG_CACHE_HOME"))
        qputenv("XDG_CACHE_HOME", m_cache.path().toUtf8());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

bool StartProgram(CStrevioApp& app, QStringList* messages)
{
    AfxSetMessageBoxHandler([messages](const QString& text, UINT) {
        *messages << text;
        return 1;
    });
    if (app.InitInstance())
        return true;
    std::fprintf(stderr, "the program did not start\n");
    return false;
}

long PeakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

long ResidentKilobytes()
{
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

CListView_Photos* NewestPhotoList(CStrevioApp& app)
{
    const auto& documents = app.m_pPhotoListTemplate->GetDocuments();
    if (documents.empty())
        return nullptr;
    for (CView* view : documents.back()->GetViews())
        if (auto* list = dynamic_cast<CListView_Photos*>(view))
            return list;
    return nullptr;
}
