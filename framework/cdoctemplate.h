// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A document type: the document, frame and view classes that show one kind of document, its
// resources (menu, icon, document string) and the documents it holds.

#include "framework/ccmdtarget.h"

#include <QString>

#include <vector>

class CDocument;
class CMDIChildWnd;

class CDocTemplate : public CCmdTarget {
    DECLARE_DYNAMIC(CDocTemplate)
public:
    enum DocStringIndex { windowTitle, docName, fileNewName, filterName, filterExt, regFileTypeId, regFileTypeName };
    enum Confidence { noAttempt, maybeAttemptForeign, maybeAttemptNative, yesAttemptForeign, yesAttemptNative, yesAlreadyOpen };

    CDocTemplate(UINT resourceId, const CRuntimeClass* documentClass, const CRuntimeClass* frameClass,
                 const CRuntimeClass* viewClass);
    ~CDocTemplate() override;

    // Opens `path` in a new document window, or a new untitled document when `path` is null.
    // Returns the document, or null when it could not be opened (the user has been told why).
    virtual CDocument* OpenDocumentFile(const QString& path, bool makeVisible = true) = 0;

    bool GetDocString(QString& text, DocStringIndex index) const;
    virtual Confidence MatchDocType(const QString& path, CDocument*& match) const;
    UINT GetResourceId() const { return m_nIDResource; }

    virtual void AddDocument(CDocument* document);
    virtual void RemoveDocument(CDocument* document);
    const std::vector<CDocument*>& GetDocuments() const { return m_docList; }

    CDocument* CreateNewDocument();
    CMDIChildWnd* CreateNewFrame(CDocument* document);
    void CloseAllDocuments(bool endSession);

protected:
    UINT m_nIDResource;
    const CRuntimeClass* m_pDocClass;
    const CRuntimeClass* m_pFrameClass;
    const CRuntimeClass* m_pViewClass;
    std::vector<CDocument*> m_docList;
};
