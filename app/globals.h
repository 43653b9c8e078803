#pragma once
// Values shared between windows: the film settings that seed each photo-list window and carry the
// Properties dialog's values, the photo a new single-photo window shows, the folder films go to,
// and the main frame's tool object and film writer.

#include <QString>

#include <cstdint>

class CFilmWriter;
class CFrameTools;

extern QString g_FilmName;         // "Film.avi" at start
extern std::int32_t g_FilmFps;     // 2 at start
extern QString g_PathToOpen;       // empty at start
extern QString g_StartFolder;      // the current folder when the main frame was created
extern CFrameTools* g_pFrameTools; // null until the main frame exists
extern CFilmWriter* g_pFilmWriter; // null until the main frame exists
