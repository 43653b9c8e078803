// SPDX-License-Identifier: GPL-2.0-or-later
#include "imaging/imageresampler.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double kLobes = 3.0;

double sinc(double x)
{
    if (x == 0.0)
        return 1.0;
    const double px = M_PI * x;
    return std::sin(px) / px;
}

double lanczos(double x)
{
    return std::abs(x) < kLobes ? sinc(x) * sinc(x / kLobes) : 0.0;
}

// The source pixels that make one destination pixel along one axis, with their weights summing to 1.
struct Contribution {
    int first = 0;
    std::vector<float> weights;
};

std::vector<Contribution> contributions(int sourceLength, int targetLength)
{
    const double scale = double(targetLength) / sourceLength;
    const double stretch = scale < 1.0 ? 1.0 / scale : 1.0; // the filter widens when shrinking
    const double support = kLobes * stretch;
    std::vector<Contribution> all(static_cast<size_t>(targetLength));
    for (int i = 0; i < targetLength; ++i) {
        const double centre = (i + 0.5) / scale;
        const int first = std::max(0, int(std::floor(centre - support)));
        const int last = std::min(sourceLength - 1, int(std::ceil(centre + support)));
        Contribution& c = all[size_t(i)];
        c.first = first;
        double sum = 0.0;
        std::vector<double> raw;
        for (int s = first; s <= last; ++s) {
            raw.push_back(lanczos((s + 0.5 - centre) / stretch));
            sum += raw.back();
        }
        for (const double w : raw)
            c.weights.push_back(float(sum != 0.0 ? w / sum : 0.0));
    }
    return all;
}

// Four float channels of one pixel (B, G, R, A as stored), added and multiplied as one: the
// compiler's vector type, so that each filter tap is one multiply-add of the whole pixel.
using Pixel = float __attribute__((vector_size(16)));

// One source row resampled across. The row's pixels are made floats once, not at every tap.
void resampleRow(const QRgb* source, int width, const std::vector<Contribution>& across, Pixel* unpacked, Pixel* out)
{
    for (int x = 0; x < width; ++x) {
        const QRgb p = source[x];
        unpacked[x] = Pixel{float(qBlue(p)), float(qGreen(p)), float(qRed(p)), float(qAlpha(p))};
    }
    for (const Contribution& c : across) {
        Pixel sum{};
        const Pixel* pixel = unpacked + c.first;
        for (const float w : c.weights)
            sum += w * *pixel++;
        *out++ = sum;
    }
}

int clamped(float value, int high)
{
    return std::clamp(int(value + 0.5f), 0, high); // int() truncates towards zero: below 0 stays 0
}

} // namespace

QImage ImageResampler::scaled(const QImage& image, const QSize& size)
{
    if (image.isNull() || size.isEmpty())
        return QImage();
    const bool opaque = !image.hasAlphaChannel();
    const QImage::Format format = opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied;
    const QImage source = image.convertToFormat(format);
    if (source.size() == size || source.isNull())
        return source;
    QImage target(size, format);
    if (target.isNull())
        return target;
    const std::vector<Contribution> across = contributions(source.width(), size.width());
    const std::vector<Contribution> down = contributions(source.height(), size.height());
    size_t ringRows = 0;
    for (const Contribution& c : down)
        ringRows = std::max(ringRows, c.weights.size());
    // Rows resampled across, kept while the destination rows below still need them.
    const size_t rowPixels = size_t(size.width());
    std::vector<Pixel> ring(ringRows * rowPixels);
    std::vector<int> ringHolds(ringRows, -1);
    std::vector<Pixel> unpacked(size_t(source.width()));
    std::vector<Pixel> sum(rowPixels);
    for (int y = 0; y < size.height(); ++y) {
        const Contribution& c = down[size_t(y)];
        std::fill(sum.begin(), sum.end(), Pixel{});
        for (size_t k = 0; k < c.weights.size(); ++k) {
            const int row = c.first + int(k);
            Pixel* held = ring.data() + size_t(row) % ringRows * rowPixels;
            if (ringHolds[size_t(row) % ringRows] != row) {
                resampleRow(reinterpret_cast<const QRgb*>(source.constScanLine(row)), source.width(), across,
                            unpacked.data(), held);
                ringHolds[size_t(row) % ringRows] = row;
            }
            const float w = c.weights[k];
            for (size_t i = 0; i < rowPixels; ++i)
                sum[i] += w * held[i];
        }
        auto* out = reinterpret_cast<QRgb*>(target.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const Pixel& p = sum[size_t(x)];
            const int alpha = opaque ? 255 : clamped(p[3], 255);
            // Premultiplied colour never exceeds its alpha.
            out[x] = qRgba(clamped(p[2], alpha), clamped(p[1], alpha), clamped(p[0], alpha), alpha);
        }
    }
    return target;
}
