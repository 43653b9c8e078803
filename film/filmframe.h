// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// One frame of a film: a photo copied pixel for pixel onto the top-left corner of the black
// canvas; what the photo does not cover, and a photo that cannot be decoded, stays black.

#include "platform/gdi/gdi.h"

#include <QString>

#include <cstdint>

constexpr std::int32_t kFilmCanvasSize = 2000;

// `canvasDC` holds the 24-bit canvas of kFilmCanvasSize x kFilmCanvasSize pixels.
void ComposeFilmFrame(HDC canvasDC, const QString& photoPath);
