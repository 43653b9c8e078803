// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/cdialog.h"

#include "framework/afxguard.h"
#include "framework/afxres.h"
#include "framework/cwinapp.h"
#include "framework/dialogwidget.h"
#include "framework/resources.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

IMPLEMENT_DYNAMIC(CDialog, CWnd)

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog()
{
    if (auto* widget = dynamic_cast<CDialogWidget*>(m_pDialog))
        widget->DetachDialog();
    delete m_pDialog;
}

QRect CDialog::MapDialogRect(int x, int y, int cx, int cy) const
{
    auto mapX = [this](int v) { return (v * m_nBaseUnitX + 2) / 4; };
    auto mapY = [this](int v) { return (v * m_nBaseUnitY + 4) / 8; };
    return QRect(mapX(x), mapY(y), mapX(cx), mapY(cy));
}

bool CDialog::BuildFromTemplate()
{
    const auto& dialogs = CResources::Instance().dialogs;
    auto it = dialogs.find(m_nIDTemplate);
    if (it == dialogs.end())
        return false;
    const DialogResource& resource = it->second;
    CWnd* owner = m_pParentWnd ? m_pParentWnd : (AfxGetApp() ? AfxGetApp()->m_pMainWnd : nullptr);
    auto* dialog = new CDialogWidget(this, owner ? owner->GetSafeWidget() : nullptr);
    m_pDialog = dialog;
    Attach(dialog, false);
    QFont font = QApplication::font();
    font.setPointSize(resource.pointSize);
    dialog->setFont(font);
    const QFontMetrics metrics(font);
    static const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    m_nBaseUnitX = std::max(1, (metrics.horizontalAdvance(alphabet) / 26 + 1) / 2);
    m_nBaseUnitY = std::max(1, metrics.height());
    dialog->setWindowTitle(resource.caption);
    dialog->setFixedSize(MapDialogRect(0, 0, resource.cx, resource.cy).size());
    dialog->setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    QWidget* previous = nullptr;
    for (const DialogControlResource& control : resource.controls) {
        QWidget* widget = nullptr;
        switch (control.kind) {
        case DialogControlKind::PushButton: {
            auto* button = new QPushButton(control.text, dialog);
            button->setDefault(control.style & BS_DEFPUSHBUTTON);
            button->setAutoDefault(true);
            const int id = control.id;
            QObject::connect(button, &QPushButton::clicked, dialog,
                             [this, id] { AfxRunGuarded([this, id] { OnButtonClicked(id); }); });
            widget = button;
            break;
        }
        case DialogControlKind::GroupBox: widget = new QGroupBox(control.text, dialog); break;
        case DialogControlKind::Edit: {
            auto* edit = new QLineEdit(control.text, dialog);
            if (control.style & ES_CENTER)
                edit->setAlignment(Qt::AlignCenter);
            widget = edit;
            break;
        }
        case DialogControlKind::Static: {
            auto* label = new QLabel(control.text, dialog);
            label->setAlignment((control.style & SS_RIGHT) ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter);
            widget = label;
            break;
        }
        case DialogControlKind::Icon: {
            auto* label = new QLabel(dialog);
            label->setPixmap(AfxLoadIcon(UINT(control.text.toUInt())).pixmap(32, 32));
            widget = label;
            break;
        }
        }
        widget->setGeometry(MapDialogRect(control.x, control.y, control.cx, control.cy));
        if (control.style & WS_TABSTOP) {
            widget->setFocusPolicy(Qt::StrongFocus);
            if (previous)
                QWidget::setTabOrder(previous, widget);
            previous = widget;
        } else {
            widget->setFocusPolicy(Qt::NoFocus);
        }
        widget->setObjectName(control.id >= 0 ? QStringLiteral("control%1").arg(control.id) : QString());
        if (control.id >= 0)
            m_controls[control.id] = widget;
    }
    return true;
}

long long CDialog::DoModal()
{
    m_bEnded = false;
    if (!m_pDialog && !BuildFromTemplate())
        return -1;
    bool initialised = false;
    if (!AfxRunGuarded([&] { initialised = OnInitDialog(); }))
        return -1;
    if (initialised) {
        for (QWidget* child : m_pDialog->findChildren<QWidget*>())
            if (child->focusPolicy() & Qt::TabFocus) {
                child->setFocus(Qt::TabFocusReason);
                break;
            }
    }
    if (m_bEnded)
        return m_pDialog->result();
    return m_pDialog->exec();
}

bool CDialog::OnInitDialog()
{
    return UpdateData(false);
}

void CDialog::EndDialog(int result)
{
    m_bEnded = true;
    if (m_pDialog)
        m_pDialog->done(result);
}

QWidget* CDialog::GetDlgItem(int id) const
{
    auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

bool CDialog::UpdateData(bool saveAndValidate)
{
    CDataExchange dx{this, saveAndValidate};
    DoDataExchange(&dx);
    return true;
}

void CDialog::DoDataExchange(CDataExchange* /*dx*/) {}

void CDialog::OnOK()
{
    if (UpdateData(true))
        EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::OnButtonClicked(int id)
{
    if (OnCmdMsg(UINT(id), nullptr))
        return;
    if (id == IDOK)
        OnOK();
    else if (id == IDCANCEL)
        OnCancel();
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control)
{
    if (!control.HasWindow())
        control.SubclassWidget(dx->m_pDlgWnd->GetDlgItem(id));
}
