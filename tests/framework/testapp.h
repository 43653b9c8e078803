// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// An application with the test document types, in an order the test chooses.

#include "framework/cwinapp.h"

#include <vector>

class CMultiDocTemplate;
class CTestMainFrame;

class CTestApp : public CWinApp {
public:
    CTestApp(const QString& registryKey, UINT recentFiles, const std::vector<UINT>& typeOrder);

    // Makes and shows the main frame; false when it cannot be loaded.
    bool CreateMainFrame();
    CMultiDocTemplate* GetTemplate(UINT resourceId) const;
    CTestMainFrame* GetMainFrame() const;

protected:
    void OnCommand(UINT id);

    DECLARE_MESSAGE_MAP()
};
