// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/afxmessagebox.h"

#include "framework/afxres.h"
#include "framework/resources.h"

#include <QApplication>
#include <QMessageBox>

namespace {
MessageBoxHandler& Handler()
{
    static MessageBoxHandler handler;
    return handler;
}

QMessageBox::Icon IconOf(UINT type)
{
    switch (type & 0xF0) {
    case MB_ICONERROR: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONEXCLAMATION: return QMessageBox::Warning;
    default: return QMessageBox::Information;
    }
}
} // namespace

MessageBoxHandler AfxSetMessageBoxHandler(MessageBoxHandler handler)
{
    MessageBoxHandler previous = std::move(Handler());
    Handler() = std::move(handler);
    return previous;
}

int AfxMessageBox(const QString& text, UINT type, UINT /*helpId*/)
{
    if (Handler())
        return Handler()(text, type);
    QString title = AfxLoadString(AFX_IDS_APP_TITLE);
    if (title.isEmpty())
        title = QApplication::applicationName();
    QMessageBox box(IconOf(type), title, text, QMessageBox::NoButton, QApplication::activeWindow());
    // File names are never markup: "<i>it.avi" is shown as typed.
    box.setTextFormat(Qt::PlainText);
    if ((type & 0x0F) == MB_OKCANCEL) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    } else if ((type & 0x0F) == MB_YESNO) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    switch (box.exec()) {
    case QMessageBox::Cancel: return IDCANCEL;
    case QMessageBox::Yes: return 6;
    case QMessageBox::No: return 7;
    default: return IDOK;
    }
}
