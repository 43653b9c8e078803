// SPDX-License-Identifier: GPL-2.0-or-later
#include "imaging/metafile/emfsvgconverter.h"

#include "imaging/metafile/metafileformat.h"

#include <QMutex>

#include <emf2svg.h>

#include <cstdlib>

using namespace metafile;

QByteArray EmfSvgConverter::convert(const QByteArray& playable, QSize size)
{
    generatorOptions options{};
    options.nameSpace = const_cast<char*>("");
    options.verbose = false;
    options.emfplus = false;  // the EMF records of dual files are drawn; EMF+ stays unread
    options.svgDelimiter = true;
    options.imgWidth = size.width();
    options.imgHeight = size.height();
    // libemf2svg keeps no promise of being reentrant.
    static QMutex libraryLock;
    const QMutexLocker locker(&libraryLock);
    QByteArray input = playable;
    char* out = nullptr;
    std::size_t outLength = 0;
    const int ok = emf2svg(input.data(), std::size_t(input.size()), &out, &outLength, &options);
    QByteArray svg;
    if (ok && out && outLength <= kMaxSvgBytes)
        svg = QByteArray(out, qsizetype(outLength));
    std::free(out);
    return svg;
}
