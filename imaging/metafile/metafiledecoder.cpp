// SPDX-License-Identifier: GPL-2.0-or-later
#include "imaging/metafiledecoder.h"

#include "imaging/metafile/emffile.h"
#include "imaging/metafile/emfsvgconverter.h"
#include "imaging/metafile/metafileformat.h"
#include "imaging/metafile/svgextentfilter.h"
#include "imaging/metafile/svgrasterizer.h"
#include "imaging/metafile/wmffile.h"
#include "imaging/metafile/wmfrenderer.h"

namespace {

bool withinBudget(QSize size)
{
    return !size.isEmpty() && std::int64_t(size.width()) * size.height() <= metafile::kMaxPixels;
}

}  // namespace

bool MetafileDecoder::readSize(const QByteArray& data, MetafileKind kind, QSize* size)
{
    if (!size || data.size() > metafile::kMaxFileBytes)
        return false;
    QSize found;
    if (kind == MetafileKind::Wmf) {
        const std::optional<WmfFile> file = WmfFile::parse(data);
        found = file ? file->size() : QSize();
    } else {
        const std::optional<EmfFile> file = EmfFile::parse(data);
        found = file ? file->size() : QSize();
    }
    if (!withinBudget(found))
        return false;
    *size = found;
    return true;
}

QImage MetafileDecoder::render(const QByteArray& data, MetafileKind kind, QSize size)
{
    if (!withinBudget(size) || data.size() > metafile::kMaxFileBytes)
        return {};
    if (kind == MetafileKind::Wmf) {
        const std::optional<WmfFile> file = WmfFile::parse(data);
        if (!file || file->claimedPixels() > metafile::kMaxPixels)
            return {};
        return WmfRenderer::render(file->playable(), size);
    }
    const std::optional<EmfFile> file = EmfFile::parse(data);
    if (!file || file->claimedPixels() > metafile::kMaxPixels)
        return {};
    const QByteArray svg = EmfSvgConverter::convert(file->playable(), size);
    if (svg.isEmpty())
        return {};
    return SvgRasterizer::rasterize(SvgExtentFilter::filter(svg, size), size);
}
