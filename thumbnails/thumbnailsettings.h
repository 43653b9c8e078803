// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// How the photo list makes its thumbnails. The program keeps the defaults; tests and benchmarks
// change them to compare the roads, which must give the same thumbnails.

struct ThumbnailSettings {
    int threads = -1;      // workers making thumbnails ahead; -1: one a core, 0: none
    bool memory = true;    // reduced pictures kept in memory between rebuilds
    bool diskCache = true; // the desktop's thumbnail cache
    bool writeLater = true; // its new entries written when a processor is idle (CacheWriter)

    static ThumbnailSettings& current()
    {
        static ThumbnailSettings settings;
        return settings;
    }
};
