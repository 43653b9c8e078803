// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The film settings: they seed each photo-list window's own settings and carry the Properties
// dialog's values in and out.

#include <QString>

#include <cstdint>

extern QString g_FilmName;     // "Film.avi" at start
extern std::int32_t g_FilmFps; // 2 at start
