// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A modal dialog built from a dialog template: controls placed at their dialog-unit rectangles,
// converted with the dialog font's base units. Button clicks go through the dialog's message
// table; OK and Cancel have default handlers.

#include "framework/cwnd.h"

#include <map>

class CDialog;
class QDialog;

struct CDataExchange {
    CDialog* m_pDlgWnd;
    bool m_bSaveAndValidate;
};

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    virtual long long DoModal();
    virtual bool OnInitDialog();
    void EndDialog(int result);
    QWidget* GetDlgItem(int id) const;
    bool UpdateData(bool saveAndValidate = true);
    UINT GetTemplateId() const { return m_nIDTemplate; }

    // Pixels of a dialog-unit rectangle with this dialog's font.
    QRect MapDialogRect(int x, int y, int cx, int cy) const;

protected:
    virtual void DoDataExchange(CDataExchange* dx);
    virtual void OnOK();
    virtual void OnCancel();

private:
    bool BuildFromTemplate();
    void OnButtonClicked(int id);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    QDialog* m_pDialog = nullptr;
    std::map<int, QWidget*> m_controls;
    int m_nBaseUnitX = 6;
    int m_nBaseUnitY = 13;
    bool m_bEnded = false;

    friend class CDialogWidget;
};

void DDX_Control(CDataExchange* dx, int id, CWnd& control);
