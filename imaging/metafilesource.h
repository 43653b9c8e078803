// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A Windows metafile (WMF or EMF), measured from its header and rendered at its own size on
// first use.

#include "imaging/imagesource.h"
#include "imaging/metafiledecoder.h"

#include <QByteArray>

#include <memory>

class MetafileSource : public ImageSource {
public:
    // Null when the data is no metafile of that kind, or it would be over the pixel budget;
    // `fault` then says which.
    static std::unique_ptr<MetafileSource> open(const QByteArray& data, MetafileKind kind, DecodeFault* fault);

    QSize size() const override { return m_size; }
    QImage decodeReduced(const QSize& atLeast) override;
    QImage decodeRegion(const QRect& region) override;
    bool isDecoded() const override { return !m_image.isNull(); }

private:
    MetafileSource(QByteArray data, MetafileKind kind, QSize size);
    const QImage& image();

    QByteArray m_data;
    MetafileKind m_kind;
    QSize m_size;
    QImage m_image;
    bool m_failed = false;
};
