#include "app/globals.h"

QString g_FilmName = QStringLiteral("Film.avi");
std::int32_t g_FilmFps = 2;
QString g_PathToOpen;
QString g_StartFolder;
CFrameTools* g_pFrameTools = nullptr;
CFilmWriter* g_pFilmWriter = nullptr;
