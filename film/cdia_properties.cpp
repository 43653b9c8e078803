// SPDX-License-Identifier: GPL-2.0-or-later
#include "film/cdia_properties.h"

#include "film/filmsettings.h"
#include "framework/afxmessagebox.h"
#include "framework/afxres.h"
#include "res/resource.h"

IMPLEMENT_DYNAMIC(CDia_Properties, CDialog)

BEGIN_MESSAGE_MAP(CDia_Properties, CDialog)
    ON_BN_CLICKED(IDOK, &CDia_Properties::OnOkClicked)
END_MESSAGE_MAP()

CDia_Properties::CDia_Properties(CWnd* parent) : CDialog(IDD_PROPERTIES, parent) {}

void CDia_Properties::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_FILM_NAME, m_EditFilmName);
    DDX_Control(dx, IDC_FILM_FPS, m_EditFilmFps);
}

bool CDia_Properties::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_EditFilmFps.SetWindowText(QString::number(g_FilmFps));
    m_EditFilmName.SetWindowText(g_FilmName);
    return true;
}

void CDia_Properties::OnOkClicked()
{
    bool isNumber = false;
    const std::int32_t fps = m_EditFilmFps.GetWindowText().trimmed().toInt(&isNumber, 10);
    if (!isNumber || fps < 1) {
        Refuse(QStringLiteral("Frames per second must be a whole number from 1 to 2147483647, such as 2."), m_EditFilmFps);
        return;
    }
    const QString name = m_EditFilmName.GetWindowText();
    if (name.trimmed().isEmpty()) {
        Refuse(QStringLiteral("The film needs a file name, such as Film.avi."), m_EditFilmName);
        return;
    }
    g_FilmName = name;
    g_FilmFps = fps;
    EndDialog(IDOK);
}

void CDia_Properties::Refuse(const QString& message, CEdit& edit)
{
    AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
    if (QWidget* widget = edit.GetSafeWidget())
        widget->setFocus();
    edit.SetSel(0, -1);
}
