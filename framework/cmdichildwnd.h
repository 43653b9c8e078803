// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A document window inside the main frame: a QMdiSubWindow holding one view of a document.

#include "framework/cframewnd.h"

#include <memory>

class CDocTemplate;
class CMDIFrameWnd;
class QMdiSubWindow;

struct CCreateContext {
    const CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
};

class CMDIChildWnd : public CFrameWnd {
    DECLARE_DYNCREATE(CMDIChildWnd)
public:
    CMDIChildWnd() = default;
    ~CMDIChildWnd() override;

    virtual bool LoadFrame(UINT resourceId, DWORD style, CMDIFrameWnd* parent, CCreateContext* context);
    void ActivateFrame(bool show = true);
    void InitialUpdateFrame(CDocument* document, bool makeVisible);
    bool DestroyWindow() override;
    CMDIFrameWnd* GetMDIFrame() const { return m_pMDIFrame; }
    QMdiSubWindow* GetSubWindow() const;
    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

    bool OnCmdMsg(UINT id, CCmdUI* ui) override;
    void OnUpdateFrameTitle() override;

    // Called by the window as its close begins (`closing`) and when the close is refused.
    void OnWindowClosing(bool closing);
    // Called by the window when Qt destroys it: the frame and its view go with it.
    void OnWindowDestroyed();

private:
    CMDIFrameWnd* m_pMDIFrame = nullptr;
    CDocTemplate* m_pDocTemplate = nullptr;
    std::unique_ptr<CView> m_pView;
};
