// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A run of the program for a benchmark: headless, with settings of its own and, unless the caller
// named a cache in XDG_CACHE_HOME, a thumbnail cache of its own, so that the user's are never
// touched. Also the measures the benchmarks read of the process.

#include <QStringList>
#include <QTemporaryDir>

class CListView_Photos;
class CStrevioApp;

class HeadlessRun {
public:
    // Before the QApplication is made.
    HeadlessRun();

private:
    QTemporaryDir m_settings;
    QTemporaryDir m_cache;
};

// Starts the program with its messages going to `messages` instead of boxes; false (and a line on
// standard error) when it does not start.
bool StartProgram(CStrevioApp& app, QStringList* messages);

// The process's peak resident memory so far, and its resident memory now.
long PeakKilobytes();
long ResidentKilobytes();
// The photo list opened last.
CListView_Photos* NewestPhotoList(CStrevioApp& app);
