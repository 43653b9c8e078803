// SPDX-License-Identifier: GPL-2.0-or-later
#include "imaging/metafile/wmfpainterdevice.h"

#include "imaging/metafile/metafileformat.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QVector>

#include <libwmf/api.h>
#include <libwmf/defs.h>
#include <libwmf/ipa.h>
#include <libwmf/macro.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr std::uint32_t kBlackness = 0x00000042;
constexpr std::uint32_t kWhiteness = 0x00FF0062;
constexpr std::uint16_t kOpaqueBackground = 2;  // OPAQUE background mode
constexpr double kMaxPenWidth = 1 << 16;
constexpr double kMaxFontPixels = 1 << 14;

// The device drawing for `api`, its mapping set from the window of `dc`; nullptr while scanning.
WmfPainterDevice* deviceOf(wmfAPI* api, const wmfDC* dc)
{
    auto* device = static_cast<WmfPainterDevice*>(api->user_data);
    if (device && dc)
        device->followWindow(dc);
    return device;
}

QColor colourOf(const wmfRGB& rgb) { return QColor(rgb.r, rgb.g, rgb.b); }

// Angle in degrees of `point` seen from the centre of `box`, counter-clockwise on screen.
double angleAround(const QRectF& box, QPointF point)
{
    const QPointF d = point - box.center();
    return std::atan2(-d.y() * box.width(), d.x() * box.height()) * 180.0 / M_PI;
}

QFont fontOf(const wmfFont* font, int pixelSize);

enum class ArcShape { Arc, Pie, Chord };

void drawArcShape(wmfAPI* api, wmfDrawArc_t* arc, ArcShape shape)
{
    WmfPainterDevice* device = deviceOf(api, arc->dc);
    if (!device)
        return;
    const QRectF box = device->map(arc->TL, arc->BR);
    if (!device->reaches(box))
        return;
    const double start = angleAround(box, device->map(arc->start));
    double span = angleAround(box, device->map(arc->end)) - start;
    if (span <= 0)
        span += 360;
    device->useStyle(arc->dc, shape != ArcShape::Arc);
    const int a = int(std::lround(start * 16));
    const int s = int(std::lround(span * 16));
    if (shape == ArcShape::Arc)
        device->painter()->drawArc(box, a, s);
    else if (shape == ArcShape::Pie)
        device->painter()->drawPie(box, a, s);
    else
        device->painter()->drawChord(box, a, s);
}

void drawPie(wmfAPI* api, wmfDrawArc_t* arc) { drawArcShape(api, arc, ArcShape::Pie); }
void drawChord(wmfAPI* api, wmfDrawArc_t* arc) { drawArcShape(api, arc, ArcShape::Chord); }
void drawArc(wmfAPI* api, wmfDrawArc_t* arc) { drawArcShape(api, arc, ArcShape::Arc); }

void drawEllipse(wmfAPI* api, wmfDrawArc_t* arc)
{
    WmfPainterDevice* device = deviceOf(api, arc->dc);
    if (device && device->reaches(device->map(arc->TL, arc->BR))) {
        device->useStyle(arc->dc, true);
        device->painter()->drawEllipse(device->map(arc->TL, arc->BR));
    }
}

void drawLine(wmfAPI* api, wmfDrawLine_t* line)
{
    WmfPainterDevice* device = deviceOf(api, line->dc);
    if (device && device->reaches(QRectF(device->map(line->from), device->map(line->to)).normalized())) {
        device->useStyle(line->dc, false);
        device->painter()->drawLine(device->map(line->from), device->map(line->to));
    }
}

QPolygonF polygonOf(const WmfPainterDevice* device, const wmfD_Coord* points, int count)
{
    QPolygonF polygon;
    polygon.reserve(count);
    for (int i = 0; i < count; ++i)
        polygon << device->map(points[i]);
    return polygon;
}

Qt::FillRule fillRuleOf(const wmfDC* dc) { return dc->polyfillmode == WINDING ? Qt::WindingFill : Qt::OddEvenFill; }

void polyLine(wmfAPI* api, wmfPolyLine_t* line)
{
    if (WmfPainterDevice* device = deviceOf(api, line->dc); device && line->pt) {
        const QPolygonF polygon = polygonOf(device, line->pt, line->count);
        if (!device->reaches(polygon.boundingRect()))
            return;
        device->useStyle(line->dc, false);
        device->painter()->drawPolyline(polygon);
    }
}

void drawPolygon(wmfAPI* api, wmfPolyLine_t* line)
{
    if (WmfPainterDevice* device = deviceOf(api, line->dc); device && line->pt) {
        const QPolygonF polygon = polygonOf(device, line->pt, line->count);
        if (!device->reaches(polygon.boundingRect()))
            return;
        device->useStyle(line->dc, true);
        device->painter()->drawPolygon(polygon, fillRuleOf(line->dc));
    }
}

void drawPolyPolygon(wmfAPI* api, wmfPolyPoly_t* poly)
{
    WmfPainterDevice* device = deviceOf(api, poly->dc);
    if (!device || !poly->pt || !poly->count)
        return;
    QPainterPath path;
    path.setFillRule(fillRuleOf(poly->dc));
    for (int i = 0; i < poly->npoly; ++i) {
        if (poly->pt[i] && poly->count[i] > 0)
            path.addPolygon(polygonOf(device, poly->pt[i], poly->count[i]));
        path.closeSubpath();
    }
    if (!device->reaches(path.boundingRect()))
        return;
    device->useStyle(poly->dc, true);
    device->painter()->drawPath(path);
}

void drawRectangle(wmfAPI* api, wmfDrawRectangle_t* rect)
{
    WmfPainterDevice* device = deviceOf(api, rect->dc);
    if (!device)
        return;
    const QRectF box = device->map(rect->TL, rect->BR);
    if (!device->reaches(box))
        return;
    device->useStyle(rect->dc, true);
    if (rect->width > 0 && rect->height > 0)
        device->painter()->drawRoundedRect(box, rect->width * device->scale() / 2,
                                           rect->height * device->scale() / 2);
    else
        device->painter()->drawRect(box);
}

void drawPixel(wmfAPI* api, wmfDrawPixel_t* pixel)
{
    if (WmfPainterDevice* device = deviceOf(api, pixel->dc)) {
        const QPointF at = device->map(pixel->pt);
        const QSizeF size(std::max(1.0, pixel->pixel_width * device->scale()),
                          std::max(1.0, pixel->pixel_height * device->scale()));
        device->painter()->fillRect(QRectF(at, size), colourOf(pixel->color));
    }
}

void ropDraw(wmfAPI* api, wmfROP_Draw_t* rop)
{
    WmfPainterDevice* device = deviceOf(api, rop->dc);
    if (!device)
        return;
    const QRectF box = device->map(rop->TL, rop->BR);
    if (rop->ROP == kBlackness)
        device->painter()->fillRect(box, Qt::black);
    else if (rop->ROP == kWhiteness)
        device->painter()->fillRect(box, Qt::white);
    else
        device->painter()->fillRect(box, WmfPainterDevice::brushOf(rop->dc));
}

QImage imageOf(wmfAPI* api, wmfBMP_Draw_t* draw)
{
    const int width = std::min<int>(draw->crop.w, draw->bmp.width - std::min(draw->crop.x, draw->bmp.width));
    const int height = std::min<int>(draw->crop.h, draw->bmp.height - std::min(draw->crop.y, draw->bmp.height));
    if (width <= 0 || height <= 0 || !draw->bmp.data)
        return {};
    QImage image(width, height, QImage::Format_ARGB32);
    if (image.isNull())
        return {};
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(height - 1 - y));
        for (int x = 0; x < width; ++x) {
            wmfRGB rgb{};
            const int opacity = wmf_ipa_bmp_color(api, &draw->bmp, &rgb, unsigned(draw->crop.x + x),
                                                  unsigned(draw->crop.y + y));
            line[x] = qRgba(rgb.r, rgb.g, rgb.b, std::clamp(opacity, 0, 255));
        }
    }
    return image;
}

void bmpDraw(wmfAPI* api, wmfBMP_Draw_t* draw)
{
    WmfPainterDevice* device = deviceOf(api, draw->dc);
    if (!device)
        return;
    const QImage image = imageOf(api, draw);
    if (image.isNull())
        return;
    const wmfD_Coord end{float(draw->pt.x + image.width() * draw->pixel_width),
                         float(draw->pt.y + image.height() * draw->pixel_height)};
    device->painter()->drawImage(device->map(draw->pt, end), image);
}

void bmpRead(wmfAPI* api, wmfBMP_Read_t* read) { wmf_ipa_bmp_read(api, read); }
void bmpFree(wmfAPI* api, wmfBMP* bmp) { wmf_ipa_bmp_free(api, bmp); }

void drawText(wmfAPI* api, wmfDrawText_t* text)
{
    WmfPainterDevice* device = deviceOf(api, text->dc);
    if (!device || !text->str || !text->dc->font)
        return;
    const wmfFont* font = text->dc->font;
    const double pixelSize = text->font_height * device->scale();
    if (!qGuiApp || !std::isfinite(pixelSize) || pixelSize > kMaxFontPixels)
        return;
    const QFont qfont = fontOf(font, int(std::lround(pixelSize)));
    QPainter* painter = device->painter();
    painter->save();
    painter->translate(device->map(text->pt));
    painter->rotate(-font->lfEscapement / 10.0);
    painter->setFont(qfont);
    painter->setPen(colourOf(text->dc->textcolor));
    painter->drawText(QPointF(0, 0), QString::fromLatin1(text->str));
    painter->restore();
}

QRegion regionOf(const WmfPainterDevice* device, const wmfPolyRectangle_t* rects)
{
    QRegion region;
    for (unsigned i = 0; rects->TL && rects->BR && i < rects->count; ++i)
        region += device->map(rects->TL[i], rects->BR[i]).toAlignedRect();
    return region;
}

void regionPaint(wmfAPI* api, wmfPolyRectangle_t* rects)
{
    if (WmfPainterDevice* device = deviceOf(api, rects->dc)) {
        QPainterPath path;
        path.addRegion(regionOf(device, rects));
        device->painter()->fillPath(path, WmfPainterDevice::brushOf(rects->dc));
    }
}

void regionClip(wmfAPI* api, wmfPolyRectangle_t* rects)
{
    if (WmfPainterDevice* device = deviceOf(api, rects->dc)) {
        if (rects->count == 0)
            device->painter()->setClipping(false);
        else
            device->painter()->setClipRegion(regionOf(device, rects));
    }
}

QFont fontOf(const wmfFont* font, int pixelSize)
{
    QFont qfont(font->lfFaceName ? QString::fromLatin1(font->lfFaceName) : QString());
    qfont.setPixelSize(std::max(1, pixelSize));
    qfont.setItalic(font->lfItalic);
    qfont.setUnderline(font->lfUnderline);
    qfont.setStrikeOut(font->lfStrikeOut);
    qfont.setWeight(QFont::Weight(std::clamp(int(font->lfWeight), 1, 1000)));
    return qfont;
}

// The player lays text out with the width of a string set at a size of one.
float stringWidth(wmfAPI*, wmfFont* font, char* text)
{
    if (!text)
        return 0;
    constexpr int kSize = 100;
    if (!qGuiApp || !font)
        return float(std::strlen(text)) * 0.5f;
    const QFontMetricsF metrics(fontOf(font, kSize));
    return float(metrics.horizontalAdvance(QString::fromLatin1(text)) / kSize);
}

void mapFont(wmfAPI*, wmfFont* font)
{
    if (font)
        font->user_data = nullptr;
}

void ignoreDevice(wmfAPI*) {}
void ignoreFlood(wmfAPI*, wmfFlood_t*) {}
void ignoreUserData(wmfAPI*, wmfUserData_t*) {}
void ignoreRegion(wmfAPI*, wmfPolyRectangle_t*) {}

}  // namespace

WmfPainterDevice::WmfPainterDevice(QPainter* painter, const QRectF& source, const QRectF& target)
    : m_painter(painter),
      m_origin(source.topLeft()),
      m_scaleX(source.width() > 0 ? target.width() / source.width() : 1.0),
      m_scaleY(source.height() > 0 ? target.height() / source.height() : 1.0),
      m_scale(std::sqrt(std::abs(m_scaleX * m_scaleY))),
      m_offset(target.topLeft()),
      m_target(target)
{
}

void WmfPainterDevice::install(wmfAPI* api)
{
    auto* table = static_cast<wmfFunctionReference*>(wmf_malloc(api, sizeof(wmfFunctionReference)));
    api->function_reference = table;
    if (!table)
        return;
    *table = wmfFunctionReference{ignoreDevice, ignoreDevice, ignoreDevice, ignoreDevice,
                                  ignoreFlood, ignoreFlood, drawPixel, drawPie, drawChord, drawArc,
                                  drawEllipse, drawLine, polyLine, drawPolygon, drawPolyPolygon,
                                  drawRectangle, ropDraw, bmpDraw, bmpRead, bmpFree, drawText,
                                  ignoreUserData, ignoreUserData, ignoreUserData, ignoreUserData,
                                  ignoreRegion, regionPaint, regionClip};
    api->device_data = nullptr;
    api->user_data = nullptr;
    auto* fonts = static_cast<wmfFontData*>(wmf_malloc(api, sizeof(wmfFontData)));
    api->font_data = fonts;
    if (fonts)
        *fonts = wmfFontData{mapFont, stringWidth, nullptr};
}

void WmfPainterDevice::attach(wmfAPI* api, WmfPainterDevice* device) { api->user_data = device; }

bool WmfPainterDevice::reaches(const QRectF& box) const
{
    const double limit = metafile::geometryLimit(m_target.size().toSize());
    return std::isfinite(box.left()) && std::isfinite(box.top()) && std::isfinite(box.right())
           && std::isfinite(box.bottom()) && std::abs(box.left()) <= limit && std::abs(box.top()) <= limit
           && std::abs(box.right()) <= limit && std::abs(box.bottom()) <= limit;
}

void WmfPainterDevice::followWindow(const wmfDC* dc)
{
    // The player's coordinates are window coordinates scaled by the pixel size: the whole window
    // is mapped onto the whole target, as a viewport covering the output would.
    const double width = double(dc->Window.width) * dc->pixel_width;
    const double height = double(dc->Window.height) * dc->pixel_height;
    if (!std::isfinite(width) || !std::isfinite(height) || width == 0 || height == 0)
        return;
    m_origin = QPointF(0, 0);
    m_scaleX = m_target.width() / width;
    m_scaleY = m_target.height() / height;
    m_scale = std::sqrt(std::abs(m_scaleX * m_scaleY));
}

QPointF WmfPainterDevice::map(const wmfD_Coord& point) const
{
    return QPointF((point.x - m_origin.x()) * m_scaleX, (point.y - m_origin.y()) * m_scaleY) + m_offset;
}

QRectF WmfPainterDevice::map(const wmfD_Coord& topLeft, const wmfD_Coord& bottomRight) const
{
    return QRectF(map(topLeft), map(bottomRight)).normalized();
}

void WmfPainterDevice::useStyle(const wmfDC* dc, bool fill)
{
    m_painter->setPen(penOf(dc));
    m_painter->setBrush(fill ? brushOf(dc) : QBrush());
    m_painter->setBackgroundMode(dc->bgmode == kOpaqueBackground ? Qt::OpaqueMode : Qt::TransparentMode);
    m_painter->setBackground(colourOf(dc->bgcolor));
}

QPen WmfPainterDevice::penOf(const wmfDC* dc) const
{
    const wmfPen* pen = dc->pen;
    if (!pen || WMF_PEN_STYLE(pen) == PS_NULL)
        return Qt::NoPen;
    const double width = pen->width * m_scale;
    QPen qpen(colourOf(pen->lopnColor), std::isfinite(width) ? std::clamp(width, 1.0, kMaxPenWidth) : 1.0);
    switch (WMF_PEN_STYLE(pen)) {
    case PS_DASH: qpen.setStyle(Qt::DashLine); break;
    case PS_DOT: qpen.setStyle(Qt::DotLine); break;
    case PS_DASHDOT: qpen.setStyle(Qt::DashDotLine); break;
    case PS_DASHDOTDOT: qpen.setStyle(Qt::DashDotDotLine); break;
    default: break;
    }
    const auto cap = WMF_PEN_ENDCAP(pen);
    qpen.setCapStyle(cap == PS_ENDCAP_SQUARE ? Qt::SquareCap : cap == PS_ENDCAP_FLAT ? Qt::FlatCap : Qt::RoundCap);
    const auto join = WMF_PEN_JOIN(pen);
    qpen.setJoinStyle(join == PS_JOIN_BEVEL ? Qt::BevelJoin : join == PS_JOIN_MITER ? Qt::MiterJoin : Qt::RoundJoin);
    return qpen;
}

QBrush WmfPainterDevice::brushOf(const wmfDC* dc)
{
    const wmfBrush* brush = dc->brush;
    if (!brush || brush->lbStyle == BS_NULL)
        return Qt::NoBrush;
    if (brush->lbStyle != BS_HATCHED)
        return QBrush(colourOf(brush->lbColor));
    static constexpr Qt::BrushStyle hatches[] = {Qt::HorPattern, Qt::VerPattern, Qt::FDiagPattern,
                                                 Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
    return QBrush(colourOf(brush->lbColor), brush->lbHatch < 6 ? hatches[brush->lbHatch] : Qt::SolidPattern);
}
