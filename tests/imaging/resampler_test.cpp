// SPDX-License-Identifier: GPL-2.0-or-later
// The one-step resize that makes pictures at the screen's pixels.

#include "imaging/imageresampler.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cmath>

namespace {

// A horizontal wave of `period` source pixels, grey around 128, the same down every column.
QImage Wave(const QSize& size, double period)
{
    QImage image(size, QImage::Format_RGB32);
    for (int x = 0; x < size.width(); ++x) {
        const int grey = int(std::lround(128 + 80 * std::sin(2 * M_PI * (x + 0.5) / period)));
        for (int y = 0; y < size.height(); ++y)
            image.setPixel(x, y, qRgb(grey, grey, grey));
    }
    return image;
}

} // namespace

// A wave far longer than the reduction keeps its shape, in any direction of the resize; a flat
// picture stays exactly flat, edges included.
TEST(ImageResampler, KeepsWhatTheTargetCanHoldAndNothingMore)
{
    const struct {
        QSize from;
        QSize to;
    } cases[] = {{{1200, 20}, {400, 20}}, {{1000, 10}, {333, 7}}, {{256, 8}, {400, 8}}, {{512, 4}, {150, 4}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 to %2").arg(c.from.width()).arg(c.to.width()).toStdString());
        const double period = c.from.width() / 4.0; // four waves across
        const QImage scaled = ImageResampler::scaled(Wave(c.from, period), c.to);
        ASSERT_EQ(scaled.size(), c.to);
        ASSERT_EQ(scaled.format(), QImage::Format_RGB32);
        const QImage expected = Wave(c.to, c.to.width() / 4.0);
        int worst = 0;
        for (int y = 0; y < c.to.height(); ++y)
            for (int x = 3; x < c.to.width() - 3; ++x) // the last pixels see the edge, not the wave
                worst = std::max(worst, std::abs(qGray(scaled.pixel(x, y)) - qGray(expected.pixel(x, y))));
        EXPECT_LE(worst, 3);

        QImage flat(c.from, QImage::Format_RGB32);
        flat.fill(qRgb(200, 30, 90));
        const QImage flatScaled = ImageResampler::scaled(flat, c.to);
        for (int y = 0; y < c.to.height(); ++y)
            for (int x = 0; x < c.to.width(); ++x)
                ASSERT_EQ(flatScaled.pixel(x, y), qRgb(200, 30, 90)) << x << "," << y;
    }
}

// Transparent pixels stay transparent and no colour outgrows its alpha, even where the filter's
// negative lobes overshoot at a sharp edge.
TEST(ImageResampler, KeepsTransparencyPremultiplied)
{
    QImage image(300, 200, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, x < 100 ? qRgba(0, 0, 0, 0) : ((x / 3 + y / 3) % 2 ? qRgba(255, 255, 255, 255) : qRgba(255, 0, 0, 160)));
    const QImage scaled = ImageResampler::scaled(image, QSize(130, 77));
    ASSERT_EQ(scaled.format(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < scaled.height(); ++y)
        for (int x = 0; x < scaled.width(); ++x) {
            const QRgb p = scaled.pixel(x, y);
            ASSERT_LE(std::max({qRed(p), qGreen(p), qBlue(p)}), qAlpha(p)) << x << "," << y;
            if (x < 40)
                ASSERT_EQ(qAlpha(p), 0) << x << "," << y;
        }
    EXPECT_EQ(ImageResampler::scaled(image, image.size()), image.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    EXPECT_TRUE(ImageResampler::scaled(image, QSize(0, 5)).isNull());
    EXPECT_TRUE(ImageResampler::scaled(QImage(), QSize(5, 5)).isNull());
}
