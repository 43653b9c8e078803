// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Values shared between windows: the photo a new single-photo window shows, the folder films go to,
// and the main frame's tool object and film writer. The film settings are film/filmsettings.h.

#include <QString>

class CFilmWriter;
class CFrameTools;

extern QString g_PathToOpen;       // empty at start
extern QString g_StartFolder;      // the current folder when the main frame was created
extern CFrameTools* g_pFrameTools; // null until the main frame exists
extern CFilmWriter* g_pFilmWriter; // null until the main frame exists
