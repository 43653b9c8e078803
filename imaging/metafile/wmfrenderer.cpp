// SPDX-License-Identifier: GPL-2.0-or-later
#include "imaging/metafile/wmfrenderer.h"

#include "imaging/metafile/metafileformat.h"
#include "imaging/metafile/wmfpainterdevice.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QPainter>

#include <libwmf/api.h>

#include <cstdlib>

using namespace metafile;

namespace {

// Everything the C callbacks reach through their context pointer.
struct Session {
    std::size_t heapUsed = 0;
    QElapsedTimer clock;
};

// Each block carries its size in front so that the heap budget can be kept.
using BlockHeader = std::max_align_t;

std::size_t& blockSize(BlockHeader* header) { return *reinterpret_cast<std::size_t*>(header); }

void* budgetMalloc(void* context, std::size_t size)
{
    auto* session = static_cast<Session*>(context);
    if (size > kMaxConverterHeap - session->heapUsed)
        return nullptr;
    auto* header = static_cast<BlockHeader*>(std::malloc(sizeof(BlockHeader) + size));
    if (!header)
        return nullptr;
    blockSize(header) = size;
    session->heapUsed += size;
    return header + 1;
}

void budgetFree(void* context, void* memory)
{
    if (!memory)
        return;
    auto* header = static_cast<BlockHeader*>(memory) - 1;
    static_cast<Session*>(context)->heapUsed -= blockSize(header);
    std::free(header);
}

void* budgetRealloc(void* context, void* memory, std::size_t size)
{
    if (!memory)
        return budgetMalloc(context, size);
    auto* session = static_cast<Session*>(context);
    auto* header = static_cast<BlockHeader*>(memory) - 1;
    const std::size_t old = blockSize(header);
    if (size > old && size - old > kMaxConverterHeap - session->heapUsed)
        return nullptr;
    auto* moved = static_cast<BlockHeader*>(std::realloc(header, sizeof(BlockHeader) + size));
    if (!moved)
        return nullptr;
    session->heapUsed = session->heapUsed - old + size;
    blockSize(moved) = size;
    return moved + 1;
}

// Called after every record: a non-zero answer stops the player.
int keepPlaying(void* context, float)
{
    return static_cast<const Session*>(context)->clock.hasExpired(kMaxPlayMilliseconds) ? 1 : 0;
}

wmfAPI* createApi(Session* session)
{
    wmfAPI_Options options{};
    options.context = session;
    options.malloc = budgetMalloc;
    options.realloc = budgetRealloc;
    options.free = budgetFree;
    options.function = WmfPainterDevice::install;
    // The lite player: no font files, no raster encoders; text is measured and drawn by Qt.
    const unsigned long flags = WMF_OPT_ALLOC | WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL
                                | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    wmfAPI* api = nullptr;
    if (wmf_lite_create(&api, flags, &options) != wmf_E_None) {
        if (api)
            wmf_lite_destroy(api);
        return nullptr;
    }
    if (!api->function_reference || !api->font_data) {
        wmf_lite_destroy(api);
        return nullptr;
    }
    wmf_status_function(api, session, keepPlaying);
    return api;
}

bool play(wmfAPI* api, QByteArray playable, QImage* image)
{
    auto* bytes = reinterpret_cast<unsigned char*>(playable.data());
    if (wmf_mem_open(api, bytes, long(playable.size())) != wmf_E_None)
        return false;
    wmfD_Rect bbox{};
    bool played = wmf_scan(api, 0, &bbox) == wmf_E_None;
    if (played) {
        QPainter painter(image);
        painter.setRenderHint(QPainter::Antialiasing);
        WmfPainterDevice device(&painter, QRectF(QPointF(bbox.TL.x, bbox.TL.y), QPointF(bbox.BR.x, bbox.BR.y)),
                                QRectF(image->rect()));
        WmfPainterDevice::attach(api, &device);
        // A record that breaks the player, or the time bound, ends the picture where it stands.
        wmf_play(api, 0, &bbox);
        WmfPainterDevice::attach(api, nullptr);
    }
    wmf_mem_close(api);
    return played;
}

}  // namespace

QImage WmfRenderer::render(const QByteArray& playable, QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return {};
    image.fill(Qt::transparent);
    // libwmf keeps no promise of being reentrant.
    static QMutex libraryLock;
    const QMutexLocker locker(&libraryLock);
    Session session;
    session.clock.start();
    wmfAPI* api = createApi(&session);
    if (!api)
        return {};
    const bool played = play(api, playable, &image);
    wmf_lite_destroy(api);
    return played ? image : QImage();
}
