// SPDX-License-Identifier: GPL-2.0-or-later
#include "thumbnails/reducedpicture.h"

#include "imaging/imageresampler.h"
#include "imaging/imagesource.h"

#include <algorithm>

namespace {

QImage stored(QImage picture)
{
    if (picture.isNull())
        return picture;
    if (!picture.hasAlphaChannel())
        return picture.convertToFormat(QImage::Format_RGB888);
    return picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage scaledExactly(const QImage& image, const QSize& size)
{
    if (image.size() == size)
        return image;
    return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

int ReducedPicture::sideFor(qreal devicePixelRatio)
{
    const qreal cell = kLargestCellWidth * devicePixelRatio;
    return cell <= 256 ? 256 : cell <= 512 ? 512 : 1024;
}

QSize ReducedPicture::fittedSize(const QSize& photo, int side)
{
    if (photo.width() <= side && photo.height() <= side)
        return photo;
    const QSize fitted = photo.scaled(side, side, Qt::KeepAspectRatio);
    return QSize(std::max(fitted.width(), 1), std::max(fitted.height(), 1));
}

ReducedPicture ReducedPicture::fromSource(ImageSource& source, int side)
{
    ReducedPicture reduced;
    reduced.photoSize = source.size();
    if (reduced.photoSize.isEmpty())
        return reduced;
    const QSize fitted = fittedSize(reduced.photoSize, side);
    // A camera photo of 4000 x 3000 gives 500 x 375 at 1/8: stretched to 512 x 384, not decoded at 1/4.
    const QSize nearly(std::max(1, fitted.width() * 31 / 32), std::max(1, fitted.height() * 31 / 32));
    const QImage decoded = source.decodeReduced(nearly);
    if (!decoded.isNull())
        reduced.picture = stored(scaledExactly(decoded, fitted));
    return reduced;
}

ReducedPicture ReducedPicture::fromThumbnail(const QSize& photoSize, const QImage& thumbnail)
{
    ReducedPicture reduced;
    reduced.photoSize = photoSize;
    reduced.picture = stored(thumbnail);
    return reduced;
}

QImage ReducedPicture::thumbnail(int width) const
{
    if (!isDecoded() || photoSize.isEmpty() || width <= 0)
        return QImage();
    const quint32 height = (quint32(width) * quint32(photoSize.height())) / quint32(photoSize.width());
    const QSize size(width, int(std::clamp<quint32>(height, 1, 65535)));
    const QImage::Format format = picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    return scaledExactly(picture, size).convertToFormat(format);
}

QImage ReducedPicture::cellPicture(const QSize& cell) const
{
    if (!isDecoded() || photoSize.isEmpty() || cell.isEmpty())
        return QImage();
    const QSize fitted = photoSize.scaled(cell, Qt::KeepAspectRatio);
    return ImageResampler::scaled(picture, QSize(std::max(fitted.width(), 1), std::max(fitted.height(), 1)));
}

bool ReducedPicture::covers(int side) const
{
    if (!isDecoded())
        return true;
    const QSize fitted = fittedSize(photoSize, side);
    return std::max(picture.width(), picture.height()) >= std::max(fitted.width(), fitted.height());
}
