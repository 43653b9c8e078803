// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A frame window: holds views or document windows, shows a caption and passes commands on.

#include "framework/cwnd.h"

#include <QString>

#include <map>

class CControlBar;
class CDocument;
class CView;
struct CREATESTRUCT;

class CFrameWnd : public CWnd {
    DECLARE_DYNAMIC(CFrameWnd)
public:
    virtual bool PreCreateWindow(CREATESTRUCT& cs);
    virtual CView* GetActiveView() const { return m_pActiveView; }
    void SetActiveView(CView* view) { m_pActiveView = view; }
    virtual CDocument* GetActiveDocument() const;

    // Shows `text` in the message pane of the main frame's status bar.
    virtual void SetMessageText(const QString& text);
    // Child frames of a document with several windows show ":n" after the title; 0 for none.
    void SetWindowNumber(int number);
    int GetWindowNumber() const { return m_nWindow; }
    virtual void OnUpdateFrameTitle();

    UINT GetResourceId() const { return m_nIDResource; }
    CControlBar* GetControlBar(UINT id) const;
    void RegisterControlBar(UINT id, CControlBar* bar) { m_controlBars[id] = bar; }

protected:
    UINT m_nIDResource = 0;
    DWORD m_dwStyle = 0;
    CView* m_pActiveView = nullptr;
    int m_nWindow = 0;
    std::map<UINT, CControlBar*> m_controlBars;
};
