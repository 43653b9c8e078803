// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// One film driven through the AVI file service the way the film writer drives it: a file, a
// `vids` stream, a Video 1 compressing stream with a 24-bit input format, frames appended in
// order, and the references given back in the writer's order.

#include "platform/avifile/avifile.h"

#include <string>
#include <vector>

constexpr DWORD kMsvcHandler = MakeFourCC('M', 'S', 'V', 'C');

class FilmSession {
public:
    FilmSession() = default;
    ~FilmSession() { release(); }
    FilmSession(const FilmSession&) = delete;
    FilmSession& operator=(const FilmSession&) = delete;

    HRESULT open(const std::string& path);
    // A negative height describes a top-down picture.
    HRESULT start(LONG width, LONG height, DWORD rate, AVICOMPRESSOPTIONS options = {0, kMsvcHandler});
    HRESULT add(std::vector<BYTE>& pixels, LONG* bytesWritten = nullptr);
    void release();

    PAVIFILE file = nullptr;
    PAVISTREAM video = nullptr;
    PAVISTREAM compressed = nullptr;
    LONG frames = 0;
};
