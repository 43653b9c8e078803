// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QBrush>
#include <QPen>
#include <QPointF>
#include <QRectF>

struct _wmfAPI;
struct _wmfD_Coord;
struct _wmfDC;
class QPainter;

// A libwmf output device that draws every primitive the player hands it with a QPainter, in full
// colour (libwmf's own SVG device rounds colours to the named SVG colours). The player's device
// coordinates in `source` are mapped onto the painter's whole `target`.
class WmfPainterDevice {
public:
    WmfPainterDevice(QPainter* painter, const QRectF& source, const QRectF& target);

    // Fills the player's function table; given to wmf_api_create as the device function.
    static void install(_wmfAPI* api);
    // Routes the player's drawing to `device` (nullptr: drawing is dropped).
    static void attach(_wmfAPI* api, WmfPainterDevice* device);

    // Takes the mapping from the window of `dc`; without a usable window the source rectangle
    // given at construction stays in use.
    void followWindow(const _wmfDC* dc);
    QPointF map(const _wmfD_Coord& point) const;
    QRectF map(const _wmfD_Coord& topLeft, const _wmfD_Coord& bottomRight) const;
    double scale() const { return m_scale; }
    // False for shapes reaching so far beyond the target that drawing them would take too long.
    bool reaches(const QRectF& box) const;
    QPainter* painter() const { return m_painter; }

    // Sets the painter's pen and brush from the device context; `fill` false draws outlines only.
    void useStyle(const _wmfDC* dc, bool fill);
    static QBrush brushOf(const _wmfDC* dc);

private:
    QPen penOf(const _wmfDC* dc) const;

    QPainter* m_painter;
    QPointF m_origin;
    double m_scaleX;
    double m_scaleY;
    double m_scale;
    QPointF m_offset;
    QRectF m_target;
};
