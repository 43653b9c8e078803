// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

// Plays a checked WMF (see WmfFile::playable) through libwmf onto an image, within bounds on the
// library's heap and on the playing time.
class WmfRenderer {
public:
    // ARGB32 premultiplied, transparent where nothing is drawn; null on any failure.
    static QImage render(const QByteArray& playable, QSize size);
};
