// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A picture already decoded into memory (a thumbnail, a small image read in one piece).

#include "imaging/imagesource.h"

class StillSource : public ImageSource {
public:
    explicit StillSource(QImage image);

    QSize size() const override { return m_image.size(); }
    QImage decodeReduced(const QSize& atLeast) override;
    QImage decodeRegion(const QRect& region) override;
    bool isDecoded() const override { return true; }

private:
    QImage m_image;
};
