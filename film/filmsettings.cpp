// SPDX-License-Identifier: GPL-2.0-or-later
#include "film/filmsettings.h"

QString g_FilmName = QStringLiteral("Film.avi");
std::int32_t g_FilmFps = 2;
