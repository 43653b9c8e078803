// SPDX-License-Identifier: GPL-2.0-or-later
#include "filereading/filesource.h"

#include <QLoggingCategory>

namespace {
Q_LOGGING_CATEGORY(lcImaging, "strevio.imaging", QtWarningMsg)
} // namespace

FileSource::FileSource(std::unique_ptr<MappedFile> file, std::unique_ptr<ImageSource> decoder)
    : m_file(std::move(file))
    , m_decoder(std::move(decoder))
{
}

QImage FileSource::decodeReduced(const QSize& atLeast)
{
    return checked(m_decoder->decodeReduced(atLeast));
}

QImage FileSource::decodeRegion(const QRect& region)
{
    return checked(m_decoder->decodeRegion(region));
}

bool FileSource::decodeRegionInto(const QRect& region, const GdiPixelRows& rows)
{
    const bool decoded = m_decoder->decodeRegionInto(region, rows);
    noteCutShort();
    return decoded;
}

QImage FileSource::checked(QImage decoded) const
{
    noteCutShort();
    return decoded;
}

// A file cut short by someone else while it was mapped gave zeros past its new end; the picture
// is what the decoder made of them, as for any file that ends early.
void FileSource::noteCutShort() const
{
    if (m_file->wasCutShort())
        qCInfo(lcImaging) << "the file shrank while it was being read; its missing bytes read as zeros";
}
