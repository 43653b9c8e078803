// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/cview.h"

#include "framework/afxguard.h"
#include "framework/afxres.h"
#include "framework/afxwork.h"
#include "framework/cdc.h"
#include "framework/cdocument.h"
#include "framework/cframewnd.h"
#include "framework/cwinapp.h"
#include "framework/viewwidget.h"
#include "framework/virtualkeys.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

IMPLEMENT_DYNAMIC(CView, CWnd)

namespace {
PrintDialogHandler& PrintHandler()
{
    static PrintDialogHandler handler;
    return handler;
}
} // namespace

PrintDialogHandler AfxSetPrintDialogHandler(PrintDialogHandler handler)
{
    PrintDialogHandler previous = std::move(PrintHandler());
    PrintHandler() = std::move(handler);
    return previous;
}

CView::~CView()
{
    if (auto* widget = dynamic_cast<CViewWidget*>(m_pWidget.data()))
        widget->DetachView();
    if (m_pDocument)
        m_pDocument->RemoveView(this);
}

bool CView::Create(CFrameWnd* frame, QWidget* parent)
{
    CREATESTRUCT cs;
    cs.style = WS_CHILD | WS_VISIBLE | WS_BORDER;
    if (!PreCreateWindow(cs))
        return false;
    m_pParentFrame = frame;
    QWidget* widget = CreateViewWidget(parent, cs);
    if (!widget)
        return false;
    Attach(widget, false);
    return true;
}

bool CView::PreCreateWindow(CREATESTRUCT& /*cs*/)
{
    return true;
}

QWidget* CView::CreateViewWidget(QWidget* parent, const CREATESTRUCT& /*cs*/)
{
    return new CViewWidget(this, parent);
}

void CView::OnInitialUpdate()
{
    OnUpdate(nullptr, 0, nullptr);
}

void CView::OnUpdate(CView* /*sender*/, std::intptr_t /*hint*/, CObject* /*hintObject*/)
{
    Invalidate(true);
}

bool CView::OnCmdMsg(UINT id, CCmdUI* ui)
{
    if (ui) {
        if (CWnd::OnCmdMsg(id, ui))
            return true;
    } else {
        CBusyScope busy(this);
        if (CWnd::OnCmdMsg(id, ui))
            return true;
    }
    return m_pDocument && m_pDocument->OnCmdMsg(id, ui);
}

void CView::BeginWork()
{
    if (m_nBusy++ == 0)
        AfxBeginWork();
}

void CView::EndWork()
{
    if (--m_nBusy > 0)
        return;
    for (std::unique_ptr<QKeyEvent>& key : m_deferredKeys)
        if (m_pWidget)
            QCoreApplication::postEvent(m_pWidget, key.release());
    m_deferredKeys.clear();
    AfxEndWork();
}

void CView::DispatchKeyDown(QKeyEvent* event)
{
    // Keys held with Alt belong to the menu, and so does the Alt key itself: its repeated
    // presses while held report no Alt modifier (Qt flips the key's own modifier).
    if ((event->modifiers() & Qt::AltModifier) || event->key() == Qt::Key_Alt) {
        event->ignore();
        return;
    }
    // A key that arrives while work runs waits until the work is done.
    if (IsBusy()) {
        m_deferredKeys.emplace_back(event->clone());
        return;
    }
    CBusyScope busy(this);
    QKeyEvent* previous = m_pCurrentKeyEvent;
    m_pCurrentKeyEvent = event;
    CKeyStateScope keyState(event);
    const UINT repeat = UINT(event->count());
    const UINT flags = event->isAutoRepeat() ? 0x4000 : 0;
    const UINT key = AfxVirtualKeyFromEvent(event);
    AfxRunGuarded([&] {
        if (!OnKeyDownMsg(key, repeat, flags))
            DefaultKeyHandling(event);
    });
    m_pCurrentKeyEvent = previous;
}

void CView::DispatchNotify(UINT code, NMHDR* header)
{
    LRESULT result = 0;
    CBusyScope busy(this);
    AfxRunGuarded([&] { OnNotifyReflect(code, header, &result); });
}

void CView::OnKeyDown(UINT /*nChar*/, UINT /*nRepCnt*/, UINT /*nFlags*/)
{
    if (m_pCurrentKeyEvent)
        DefaultKeyHandling(m_pCurrentKeyEvent);
}

void CView::DefaultKeyHandling(QKeyEvent* event)
{
    if (auto* widget = dynamic_cast<CViewWidget*>(m_pWidget.data()))
        widget->DefaultKeyPress(event);
}

void CView::PaintWith(QPainter* painter)
{
    CDC dc(painter);
    AfxRunGuarded([&] { OnDraw(&dc); });
}

bool CView::OnPreparePrinting(CPrintInfo* info)
{
    return DoPreparePrinting(info);
}

void CView::OnBeginPrinting(CDC* /*dc*/, CPrintInfo* /*info*/) {}
void CView::OnEndPrinting(CDC* /*dc*/, CPrintInfo* /*info*/) {}

void CView::OnPrint(CDC* dc, CPrintInfo* /*info*/)
{
    OnDraw(dc);
}

bool CView::DoPreparePrinting(CPrintInfo* info)
{
    if (info->m_bPreview || info->m_bDirect)
        return true;
    if (PrintHandler())
        return PrintHandler()(info->m_pPrinter);
    QPrintDialog dialog(info->m_pPrinter, m_pWidget);
    dialog.setMinMax(1, 1);
    return dialog.exec() == QDialog::Accepted;
}

void CView::PrintOn(QPrinter* printer, CPrintInfo* info)
{
    QPainter painter;
    if (!painter.begin(printer))
        return;
    CDC dc(&painter, true);
    OnBeginPrinting(&dc, info);
    OnPrint(&dc, info);
    OnEndPrinting(&dc, info);
    painter.end();
}

void CView::OnFilePrint()
{
    QPrinter printer(QPrinter::HighResolution);
    CPrintInfo info;
    info.m_pPrinter = &printer;
    if (OnPreparePrinting(&info))
        PrintOn(&printer, &info);
}

void CView::OnFilePrintDirect()
{
    QPrinter printer(QPrinter::HighResolution);
    CPrintInfo info;
    info.m_bDirect = true;
    info.m_pPrinter = &printer;
    if (OnPreparePrinting(&info))
        PrintOn(&printer, &info);
}

void CView::OnFilePrintPreview()
{
    QPrinter printer(QPrinter::HighResolution);
    CPrintInfo info;
    info.m_bPreview = true;
    info.m_pPrinter = &printer;
    if (!OnPreparePrinting(&info))
        return;
    QPrintPreviewDialog preview(&printer, m_pWidget);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, [this, &info](QPrinter* p) { PrintOn(p, &info); });
    preview.exec();
}
