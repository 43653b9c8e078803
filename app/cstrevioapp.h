// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The application: start-up, the four document types, and what opening a file does.

#include "framework/cwinapp.h"

#include <cstdint>

class CMultiDocTemplate;

class CStrevioApp : public CWinApp {
public:
    CStrevioApp();
    ~CStrevioApp() override;

    bool InitInstance() override;
    int ExitInstance() override;
    CDocument* OpenDocumentFile(const QString& path) override;
    void ShowHelp(UINT context) override;

    CMultiDocTemplate* m_pPhotoListTemplate = nullptr;
    CMultiDocTemplate* m_pPhotoViewTemplate = nullptr;
    std::uintptr_t m_GdiplusToken = 0;

protected:
    void OnAppAbout();
    void OnCloseAll();

    DECLARE_MESSAGE_MAP()
};
