// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A document that logs the commands it handles and which document type tried to open it.

#include "framework/cdocument.h"

#include <QStringList>

class CTestDocument : public CDocument {
    DECLARE_DYNCREATE(CTestDocument)
public:
    CTestDocument() { ++s_nLive; }
    ~CTestDocument() override { --s_nLive; }

    bool OnOpenDocument(const QString& path) override;

    static inline int s_nLive = 0;
    // "<resource id of the document type>" for every open tried, in order.
    static inline QStringList s_openAttempts;

protected:
    void OnCommand(UINT id);

    DECLARE_MESSAGE_MAP()
};
