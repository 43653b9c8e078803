// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The application's wait cursor, shown while long work runs without processing messages.

void AfxBeginWaitCursor();
void AfxEndWaitCursor();

class CWaitCursor {
public:
    CWaitCursor() { AfxBeginWaitCursor(); }
    ~CWaitCursor() { AfxEndWaitCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};
