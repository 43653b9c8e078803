// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/helpwindow.h"

#include <QPointer>
#include <QTextBrowser>

namespace {
QPointer<QTextBrowser> g_helpWindow;

const char* const kHelpText = R"(
<h2>Strevio Help</h2>
<p>Strevio turns the photos of a folder into a film: an AVI file compressed with Microsoft Video 1,
one frame per photo, each photo copied unscaled onto the top-left corner of a black
2000&nbsp;&times;&nbsp;2000 picture.</p>
<h3>Getting started</h3>
<ol>
<li><b>File &gt; Open</b> (Ctrl+O) any file of a folder. A window shows every photo of that folder
(JPG, BMP, GIF, TIF, PNG, CUR, WMF, EMF, ICO) as a thumbnail labelled with its file name.</li>
<li>Select the photos for the film (click, Ctrl+click, Shift+click, or Ctrl+A for all).</li>
<li>Press <b>P</b> or the wrench button to set the film's file name and frames per second.</li>
<li>Press <b>F</b> or the camera button to make the film. The selected photos become its frames
in list order. The film is written into the folder Strevio was started from; a message says where.</li>
</ol>
<h3>Keys in a photo list</h3>
<table border="1" cellpadding="3" cellspacing="0">
<tr><td>Enter</td><td>Open the current photo in a window of its own</td></tr>
<tr><td>Double-click</td><td>Open the photo under the mouse</td></tr>
<tr><td>Delete</td><td>Remove the selected photos from the list (the files stay on disk)</td></tr>
<tr><td>Ctrl+A</td><td>Select all photos</td></tr>
<tr><td>Arrows, Home, End, PgUp, PgDn</td><td>Move to a photo and select it (Shift: extend the selection; Ctrl: move the focus frame only)</td></tr>
<tr><td>F</td><td>Make Film</td></tr>
<tr><td>P</td><td>Show Properties (film name and frames per second)</td></tr>
<tr><td>R</td><td>Refresh Photos (rebuild the thumbnails)</td></tr>
<tr><td>Keypad +</td><td>Zoom Plus (larger thumbnails, up to 200 &times; 150)</td></tr>
<tr><td>Keypad &minus;</td><td>Zoom Minus (smaller thumbnails, down to 20 &times; 15)</td></tr>
</table>
<h3>Other keys</h3>
<table border="1" cellpadding="3" cellspacing="0">
<tr><td>Ctrl+O</td><td>Open</td></tr>
<tr><td>Ctrl+N</td><td>New window (a single photo or the start page)</td></tr>
<tr><td>Ctrl+P</td><td>Print the photo of a single-photo window</td></tr>
<tr><td>Ctrl+W, Ctrl+F4</td><td>Close the active window (the one active before it comes back)</td></tr>
<tr><td>F1</td><td>This help</td></tr>
</table>
<h3>Menus</h3>
<p><b>File</b>: Open, Close, Make Film, the recent files, Exit.
<b>View</b>: Toolbar, Status Bar, Refresh Photos, Zoom Plus, Zoom Minus, Select all.
<b>Window</b>: New Window, Cascade, Tile, Arrange Icons, Close all.
<b>Help</b>: Help Topics, About Strevio.</p>
<p>The recent-file list is kept in <code>~/.config/Quennel/Strevio.conf</code>.</p>
)";
} // namespace

void CHelpWindow::Show(QWidget* parent)
{
    if (!g_helpWindow) {
        g_helpWindow = new QTextBrowser(parent);
        g_helpWindow->setWindowFlag(Qt::Window);
        g_helpWindow->setAttribute(Qt::WA_DeleteOnClose);
        g_helpWindow->setWindowTitle(QStringLiteral("Strevio Help"));
        g_helpWindow->setObjectName(QStringLiteral("helpWindow"));
        g_helpWindow->setHtml(QString::fromUtf8(kHelpText));
        g_helpWindow->resize(560, 600);
    }
    g_helpWindow->show();
    g_helpWindow->raise();
    g_helpWindow->activateWindow();
}

QWidget* CHelpWindow::Window()
{
    return g_helpWindow;
}
