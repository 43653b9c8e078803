// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A view shows a document inside a frame. Its window is a widget made by CreateViewWidget; the
// widget forwards painting, keys and notifications to the view.

#include "framework/cwnd.h"

#include <QKeyEvent>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class CDC;
class CDocument;
class CFrameWnd;

class QPrinter;

struct CREATESTRUCT {
    DWORD style = 0;
    DWORD dwExStyle = 0;
    QString lpszName;
    QString lpszClass;
};

// What one print job is about; this framework prints single pages.
struct CPrintInfo {
    bool m_bDirect = false;
    bool m_bPreview = false;
    UINT m_nCurPage = 1;
    QPrinter* m_pPrinter = nullptr;
};

class CView : public CWnd {
    DECLARE_DYNAMIC(CView)
public:
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }
    CFrameWnd* GetParentFrame() const { return m_pParentFrame; }

    // Creates the view's window inside `frame`; false when the window cannot be made.
    bool Create(CFrameWnd* frame, QWidget* parent);

    virtual bool PreCreateWindow(CREATESTRUCT& cs);
    virtual void OnInitialUpdate();
    virtual void OnUpdate(CView* sender, std::intptr_t hint, CObject* hintObject);
    virtual void OnDraw(CDC* dc) = 0;
    // The window's device pixel ratio may have changed: it moved to another screen, or the
    // screen's scale changed.
    virtual void OnDpiChanged() {}

    virtual bool OnPreparePrinting(CPrintInfo* info);
    virtual void OnBeginPrinting(CDC* dc, CPrintInfo* info);
    virtual void OnEndPrinting(CDC* dc, CPrintInfo* info);
    virtual void OnPrint(CDC* dc, CPrintInfo* info);

    bool OnCmdMsg(UINT id, CCmdUI* ui) override;

    // Entry points of the view's widget: each runs the view's handler through the message table
    // and the framework's exception report.
    void DispatchKeyDown(QKeyEvent* event);
    void DispatchNotify(UINT code, NMHDR* header);
    void PaintWith(QPainter* painter);

    // The window's default handling of the key being dispatched; handlers of key-down messages
    // end by calling it, so the window's own keyboard behaviour keeps working.
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);

    // True while the view runs work of its own: a handler, or long work that processes no
    // messages. Keys that reach it meanwhile wait, and no window closes until it is done.
    bool IsBusy() const { return m_nBusy > 0; }

protected:
    CView() = default;

    virtual QWidget* CreateViewWidget(QWidget* parent, const CREATESTRUCT& cs);
    // The widget's own handling of the key being dispatched (list navigation and the like).
    virtual void DefaultKeyHandling(QKeyEvent* event);

    bool DoPreparePrinting(CPrintInfo* info);
    void OnFilePrint();
    void OnFilePrintDirect();
    void OnFilePrintPreview();
    void PrintOn(QPrinter* printer, CPrintInfo* info);

    class CBusyScope {
    public:
        explicit CBusyScope(CView* view) : m_pView(view) { m_pView->BeginWork(); }
        ~CBusyScope() { m_pView->EndWork(); }
        CBusyScope(const CBusyScope&) = delete;
        CBusyScope& operator=(const CBusyScope&) = delete;

    private:
        CView* m_pView;
    };

    QKeyEvent* m_pCurrentKeyEvent = nullptr;

private:
    friend class CDocument;
    void BeginWork();
    void EndWork();

    CDocument* m_pDocument = nullptr;
    CFrameWnd* m_pParentFrame = nullptr;
    int m_nBusy = 0;
    std::vector<std::unique_ptr<QKeyEvent>> m_deferredKeys;
};

using PrintDialogHandler = std::function<bool(QPrinter* printer)>;
// Replaces the print dialog (tests); an empty function restores it. Returns the previous one.
PrintDialogHandler AfxSetPrintDialogHandler(PrintDialogHandler handler);
