// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/globals.h"

QString g_PathToOpen;
QString g_StartFolder;
CFrameTools* g_pFrameTools = nullptr;
CFilmWriter* g_pFilmWriter = nullptr;
