// SPDX-License-Identifier: GPL-2.0-or-later
// How sharp the photo list's largest thumbnail (200 x 150) is on a screen at 100 % and at 200 %,
// for each photo given: PSNR in dB against the photo resized straight from its full pixels to the
// pixels the cell shows (with the program's Lanczos resize, and with Qt's smooth scaling as a
// second opinion), of
//   cell      the cell as the photo list makes it now (reduced picture of the ratio's size, then
//             one resize to the cell's device pixels);
//   earlier   the cell as it was made before, 200 pixels wide from a 256-pixel reduced picture,
//             scaled up by the screen (bilinear) at 200 %;
//   doubled   (200 % only) the photo resized straight to 200 x 150 and doubled (bilinear).
// Last line: psnr_ratio1=… psnr_ratio2=… doubled_ratio2=… gain_over_doubled=… (averages, Lanczos
// reference).
// Usage: sharpness-bench PHOTO...

#include "framework/cimagelist.h"
#include "imaging/imagefile.h"
#include "imaging/imageresampler.h"
#include "imaging/imagesource.h"
#include "thumbnails/reducedpicture.h"

#include <QGuiApplication>

#include <cmath>
#include <cstdio>
#include <memory>

namespace {

double Psnr(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
    if (x.size() != y.size() || x.isNull())
        return std::nan("");
    double squares = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            for (const int d : {qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q)})
                squares += double(d) * d;
        }
    const double mean = squares / (3.0 * x.width() * x.height());
    return mean == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mean);
}

std::shared_ptr<ImageSource> Open(const QString& path)
{
    std::shared_ptr<ImageSource> source;
    return ImageFile::open(path, &source) == Ok ? source : nullptr;
}

QImage Bilinear(const QImage& image, const QSize& size)
{
    return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

struct Sums {
    double cell[2] = {0, 0};
    double doubled = 0;
    int photos = 0;
};

bool Measure(const QString& path, Sums& sums)
{
    const auto source = Open(path);
    if (!source || source->size().isEmpty())
        return false;
    const QImage full = source->decodeReduced(source->size());
    if (full.isNull())
        return false;
    const ReducedPicture earlierReduced = ReducedPicture::fromSource(*Open(path), 256);
    const QImage earlier = earlierReduced.thumbnail(200);
    std::printf("%s (%dx%d)\n", qPrintable(path), full.width(), full.height());
    for (const int ratio : {1, 2}) {
        const QSize cell = CImageList::DeviceCellSize(QSize(200, 150), ratio);
        const QSize fitted = full.size().scaled(cell, Qt::KeepAspectRatio);
        const QImage lanczos = ImageResampler::scaled(full, fitted);
        const QImage smooth = full.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const ReducedPicture reduced = ReducedPicture::fromSource(*Open(path), ReducedPicture::sideFor(ratio));
        const QImage ours = reduced.cellPicture(cell);
        const QImage before = Bilinear(earlier.scaled(earlier.size().scaled(QSize(200, 150), Qt::KeepAspectRatio)), fitted);
        std::printf("  ratio %d: reduced %dx%d  cell %.2f dB (qt ref %.2f)  earlier %.2f dB (qt ref %.2f)", ratio,
                    reduced.picture.width(), reduced.picture.height(), Psnr(ours, lanczos), Psnr(ours, smooth),
                    Psnr(before, lanczos), Psnr(before, smooth));
        sums.cell[ratio - 1] += Psnr(ours, lanczos);
        if (ratio == 2) {
            const QImage doubled = Bilinear(ImageResampler::scaled(full, fitted / 2), fitted);
            std::printf("  doubled %.2f dB (qt ref %.2f)", Psnr(doubled, lanczos), Psnr(doubled, smooth));
            sums.doubled += Psnr(doubled, lanczos);
        }
        std::printf("\n");
    }
    ++sums.photos;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    Sums sums;
    for (int i = 1; i < argc; ++i)
        if (!Measure(QString::fromLocal8Bit(argv[i]), sums))
            std::fprintf(stderr, "%s: cannot be decoded\n", argv[i]);
    if (sums.photos == 0) {
        std::fprintf(stderr, "usage: sharpness-bench PHOTO...\n");
        return 2;
    }
    const double n = sums.photos;
    std::printf("psnr_ratio1=%.2f psnr_ratio2=%.2f doubled_ratio2=%.2f gain_over_doubled=%.2f\n", sums.cell[0] / n,
                sums.cell[1] / n, sums.doubled / n, (sums.cell[1] - sums.doubled) / n);
    return 0;
}
