// SPDX-License-Identifier: GPL-2.0-or-later
// Arbitrary bytes as an entry of the desktop's thumbnail cache, which other programs write too:
// the entry is read as the photo list reads it, and whatever it accepts must be a picture within
// the large size whose keys name the photo it was asked for.

#include "thumbnails/thumbnailentry.h"

#include <QByteArray>

#include <cstdio>
#include <cstdlib>

namespace {
const QByteArray kUri("file:///photos/a.jpg");
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const ThumbnailEntry entry = ThumbnailEntry::decode(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (entry.isNull())
        return 0;
    const QImage image = entry.image();
    if (image.width() > ThumbnailEntry::kLargeSide || image.height() > ThumbnailEntry::kLargeSide) {
        std::fprintf(stderr, "an entry of %dx%d passed\n", image.width(), image.height());
        std::abort();
    }
    FileStamp stamp;
    stamp.size = 1000;
    stamp.mtimeSeconds = 1700000000;
    if (entry.describes(kUri, stamp))
        (void)entry.isFullThumbnail();
    (void)entry.photoSize();
    return 0;
}
