// SPDX-License-Identifier: GPL-2.0-or-later
#include "filereading/filesource.h"

#include "platform/paths/localpath.h"

#include <QLoggingCategory>

namespace {
Q_LOGGING_CATEGORY(lcImaging, "strevio.imaging", QtWarningMsg)
} // namespace

FileSource::FileSource(QString path, std::unique_ptr<MappedFile> file, std::unique_ptr<ImageSource> decoder)
    : m_path(std::move(path))
    , m_file(std::move(file))
    , m_decoder(std::move(decoder))
{
}

QImage FileSource::decodeReduced(const QSize& atLeast)
{
    QImage decoded = m_decoder->decodeReduced(atLeast);
    report(!decoded.isNull());
    return decoded;
}

QImage FileSource::decodeRegion(const QRect& region)
{
    QImage decoded = m_decoder->decodeRegion(region);
    report(!decoded.isNull());
    return decoded;
}

bool FileSource::decodeRegionInto(const QRect& region, const GdiPixelRows& rows)
{
    const bool decoded = m_decoder->decodeRegionInto(region, rows);
    report(decoded);
    return decoded;
}

DecodeFault FileSource::fault() const
{
    DecodeFault fault = m_decoder->fault();
    fault.add(m_file->readFault());
    return fault;
}

// A file cut short by someone else while it was mapped gave zeros past its new end, and a page
// that could not be read gave zeros too; the picture is what the decoder made of them.
void FileSource::report(bool decoded)
{
    const DecodeFault now = fault();
    if (now.kind() <= m_reported)
        return;
    m_reported = now.kind();
    logFault(m_path, now, decoded);
}

void FileSource::logFault(const QString& path, const DecodeFault& fault, bool partial)
{
    if (fault.isNone())
        return;
    qCWarning(lcImaging).noquote() << QStringLiteral("%1: %2 (%3)")
                                          .arg(LocalPath::display(path),
                                               partial ? QStringLiteral("only part of the picture")
                                                       : QStringLiteral("no picture"),
                                               fault.text());
}
