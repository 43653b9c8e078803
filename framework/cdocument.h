// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A document: a path name, a title, a modified flag and the views that show it. Documents of this
// framework hold no data of their own; opening one only checks that its file can be read.

#include "framework/ccmdtarget.h"

#include <QString>

#include <vector>

class CDocTemplate;
class CView;

class CDocument : public CCmdTarget {
    DECLARE_DYNCREATE(CDocument)
public:
    CDocument() = default;
    ~CDocument() override = default;

    const QString& GetPathName() const { return m_strPathName; }
    virtual void SetPathName(const QString& path, bool addToRecentFileList = true);
    const QString& GetTitle() const { return m_strTitle; }
    virtual void SetTitle(const QString& title);
    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }
    bool IsModified() const { return m_bModified; }
    void SetModifiedFlag(bool modified = true) { m_bModified = modified; }

    void AddView(CView* view);
    void RemoveView(CView* view);
    const std::vector<CView*>& GetViews() const { return m_viewList; }
    void UpdateFrameCounts();

    virtual bool OnNewDocument();
    virtual bool OnOpenDocument(const QString& path);
    virtual void OnCloseDocument();

    // Why `path` cannot be opened for reading, or an empty string when it can. Never blocks:
    // FIFOs, sockets and devices are refused before anything is opened.
    static QString CheckReadable(const QString& path);

    bool m_bAutoDelete = true;

protected:
    void OnFileClose();

private:
    friend class CDocTemplate;
    static void CloseDocumentsWaitingForIdle();

    CDocTemplate* m_pDocTemplate = nullptr;
    QString m_strPathName;
    QString m_strTitle;
    bool m_bModified = false;
    bool m_bClosing = false;
    bool m_bCloseWhenIdle = false;
    std::vector<CView*> m_viewList;

    DECLARE_MESSAGE_MAP()
};
