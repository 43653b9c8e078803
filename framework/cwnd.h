// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A framework window object wrapping a Qt widget. The widget may be destroyed by Qt (with its
// parent); the object then simply has no window any more.

#include "framework/ccmdtarget.h"

#include <QPointer>
#include <QString>
#include <QWidget>

class CWnd : public CCmdTarget {
    DECLARE_DYNAMIC(CWnd)
public:
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    QWidget* GetSafeWidget() const { return m_pWidget.data(); }
    bool HasWindow() const { return !m_pWidget.isNull(); }

    void SetWindowText(const QString& text);
    QString GetWindowText() const;
    void GetWindowRect(RECT* rect) const; // outer rectangle, screen coordinates
    void GetClientRect(RECT* rect) const;
    void Invalidate(bool erase = true);
    void UpdateWindow();
    bool RedrawWindow(UINT flags);
    virtual bool DestroyWindow();

    // Makes this object the owner-less wrapper of an existing widget (a dialog's control).
    void SubclassWidget(QWidget* widget) { Attach(widget, false); }

protected:
    // Takes a widget created by the subclass; the object does not own it unless `owns` is set.
    void Attach(QWidget* widget, bool owns);

    QPointer<QWidget> m_pWidget;
    bool m_bOwnsWidget = false;
};
