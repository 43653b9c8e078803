// SPDX-License-Identifier: GPL-2.0-or-later
#include "photolistload.h"

#include "../support/headlessrun.h"

#include "app/cstrevioapp.h"
#include "browser/clistview_photos.h"
#include "framework/afxmessagebox.h"
#include "framework/cdocument.h"
#include "framework/cmultidoctemplate.h"

#include <QApplication>

#include <chrono>

#include <malloc.h>

bool PhotoListLoad::run(const QString& photo, std::vector<LoadStep>& steps, std::string& error)
{
    QStringList messages;
    AfxSetMessageBoxHandler([&messages](const QString& text, UINT) {
        messages << text;
        return 1;
    });
    CStrevioApp app;
    bool started = false;
    measure("start", steps, [&] { started = app.InitInstance(); });
    if (!started) {
        error = "the program did not start";
        return false;
    }
    measure("open", steps, [&] {
        app.OpenDocumentFile(photo);
        m_list = NewestPhotoList(app);
    });
    if (!m_list || !messages.isEmpty()) {
        error = "no photo list for " + photo.toStdString() + " " + messages.join(' ').toStdString();
        return false;
    }
    measure("refresh", steps, [&] { m_list->OnRefreshPhotos(); });
    while (m_list->m_ThumbWidth < 200)
        measure("zoom+ to " + std::to_string(m_list->m_ThumbWidth + 20), steps, [&] { m_list->OnZoomPlus(); });
    while (m_list->m_ThumbWidth > 20)
        measure("zoom- to " + std::to_string(m_list->m_ThumbWidth - 20), steps, [&] { m_list->OnZoomMinus(); });
    measure("select all", steps, [&] { m_list->OnSelectAll(); });
    measure("close all", steps, [&] {
        app.CloseAllDocuments(true);
        m_list = nullptr;
    });
    // Closed at its largest thumbnails, a list must give their memory back too.
    measure("open again", steps, [&] {
        app.OpenDocumentFile(photo);
        m_list = NewestPhotoList(app);
    });
    if (!m_list) {
        error = "no photo list the second time for " + photo.toStdString();
        return false;
    }
    while (m_list->m_ThumbWidth < 200)
        measure("zoom+ to " + std::to_string(m_list->m_ThumbWidth + 20), steps, [&] { m_list->OnZoomPlus(); });
    measure("close at the largest zoom", steps, [&] {
        app.CloseAllDocuments(true);
        m_list = nullptr;
    });
    // What stays resident beyond this is in use, not just kept by the allocator.
    measure("allocator trimmed", steps, [] { malloc_trim(0); });
    AfxSetMessageBoxHandler({});
    return true;
}

template <typename Step>
void PhotoListLoad::measure(const std::string& name, std::vector<LoadStep>& steps, Step step)
{
    const auto start = std::chrono::steady_clock::now();
    step();
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // closed windows go now, as in the event loop
    LoadStep done;
    done.name = name;
    done.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    done.items = m_list ? m_list->GetListCtrl().GetItemCount() : 0;
    done.peakKilobytes = PeakKilobytes();
    done.residentKilobytes = ResidentKilobytes();
    steps.push_back(done);
}
