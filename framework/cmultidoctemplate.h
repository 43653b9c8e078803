// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A document type whose documents each get their own window inside the main frame.

#include "framework/cdoctemplate.h"

class CMultiDocTemplate : public CDocTemplate {
    DECLARE_DYNAMIC(CMultiDocTemplate)
public:
    using CDocTemplate::CDocTemplate;
    CDocument* OpenDocumentFile(const QString& path, bool makeVisible = true) override;

private:
    void SetDefaultTitle(CDocument* document);
    int m_nUntitledCount = 0;
};
