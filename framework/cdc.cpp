#include "framework/cdc.h"

CDC::CDC(QPainter* painter, bool printing)
    : m_pPainter(painter), m_hDC(GdiCreatePainterDC(painter)), m_bPrinting(printing)
{
}

CDC::~CDC()
{
    if (m_hDC)
        DeleteDC(m_hDC);
}
