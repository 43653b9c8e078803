// SPDX-License-Identifier: GPL-2.0-or-later
// The one-step resize that makes pictures at the screen's pixels.

#include "imaging/imageresampler.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cmath>

namespace {

// Four horizontal waves of grey across, the same down every column; `alpha` at the left third.
QImage Waves(const QSize& size, int alpha = 255)
{
    QImage image(size, alpha == 255 ? QImage::Format_RGB32 : QImage::Format_ARGB32);
    for (int x = 0; x < size.width(); ++x) {
        const int grey = int(std::lround(128 + 80 * std::sin(8 * M_PI * (x + 0.5) / size.width())));
        for (int y = 0; y < size.height(); ++y)
            image.setPixel(x, y, qRgba(grey, grey, grey, x < size.width() / 3 ? alpha : 255));
    }
    return image;
}

} // namespace

// Waves far longer than the reduction keep their shape, shrunk or enlarged; transparent pixels stay
// transparent and no premultiplied colour outgrows its alpha where the filter overshoots.
TEST(ImageResampler, KeepsWhatTheTargetCanHold)
{
    const struct {
        QSize from;
        QSize to;
        int alpha;
    } cases[] = {{{1200, 20}, {400, 20}, 255}, {{1000, 10}, {333, 7}, 255}, {{256, 8}, {400, 8}, 255}, {{600, 9}, {150, 4}, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.from.width());
        const QImage scaled = ImageResampler::scaled(Waves(c.from, c.alpha), c.to);
        ASSERT_EQ(scaled.size(), c.to);
        const QImage expected = Waves(c.to, c.alpha).convertToFormat(scaled.format());
        for (int y = 0; y < c.to.height(); ++y)
            for (int x = 3; x < c.to.width() - 3; ++x) { // the last pixels see the edge, not the wave
                const QRgb p = scaled.pixel(x, y);
                ASSERT_LE(std::max({qRed(p), qGreen(p), qBlue(p)}), qAlpha(p));
                if (x < c.to.width() / 3 - 3)
                    ASSERT_EQ(qAlpha(p), c.alpha) << x;
                if (c.alpha == 255 || x > c.to.width() / 3 + 3)
                    ASSERT_NEAR(qGray(p), qGray(expected.pixel(x, y)), 3) << x;
            }
    }
    EXPECT_TRUE(ImageResampler::scaled(Waves({50, 5}), QSize(0, 5)).isNull());
}
