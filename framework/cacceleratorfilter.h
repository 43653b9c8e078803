// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Applies an accelerator table to the keys of the main frame before any widget sees them: a
// combination the table claims becomes its command and never reaches a view, even while the
// command is disabled. Modal dialogs and open menus keep their keys.

#include "platform/wintypes.h"

#include <QObject>

class CMDIFrameWnd;

class CAcceleratorFilter : public QObject {
public:
    CAcceleratorFilter(CMDIFrameWnd* frame, UINT tableId);
    // The command that `key` with `modifiers` is bound to, or 0.
    UINT Lookup(int key, Qt::KeyboardModifiers modifiers) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CMDIFrameWnd* m_pFrame;
    UINT m_nTableId;
};
