// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/cdc.h"

#include <QPaintDevice>
#include <QPainter>

CDC::CDC(QPainter* painter, bool printing)
    : m_pPainter(painter), m_hDC(GdiCreatePainterDC(painter)), m_bPrinting(printing)
{
}

CDC::~CDC()
{
    if (m_hDC)
        DeleteDC(m_hDC);
}

int CDC::GetDeviceCaps(int index) const
{
    const QPaintDevice* device = m_pPainter ? m_pPainter->device() : nullptr;
    if (!device)
        return 0;
    switch (index) {
    case HORZRES:
        return device->width();
    case VERTRES:
        return device->height();
    default:
        return 0;
    }
}
