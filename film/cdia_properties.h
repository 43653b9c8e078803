// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The Properties dialog: the film's file name and frames per second of a photo-list window,
// exchanged through the global film settings.

#include "framework/cdialog.h"
#include "framework/cedit.h"

class CDia_Properties : public CDialog {
    DECLARE_DYNAMIC(CDia_Properties)
public:
    explicit CDia_Properties(CWnd* parent = nullptr);

    bool OnInitDialog() override;
    void OnOkClicked();

    CEdit m_EditFilmName;
    CEdit m_EditFilmFps;

protected:
    void DoDataExchange(CDataExchange* dx) override;

private:
    // Says what is allowed and puts the edit in front, selected, for the user to mend.
    void Refuse(const QString& message, CEdit& edit);

    DECLARE_MESSAGE_MAP()
};
