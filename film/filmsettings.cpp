#include "film/filmsettings.h"

QString g_FilmName = QStringLiteral("Film.avi");
std::int32_t g_FilmFps = 2;
