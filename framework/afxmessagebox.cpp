// SPDX-License-Identifier: GPL-2.0-or-later
#include "framework/afxmessagebox.h"

#include "framework/afxres.h"
#include "framework/resources.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QScreen>

#include <algorithm>

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
// Runs of more characters than this without a blank get a break opportunity after each one.
constexpr qsizetype kLongestUnbrokenRun = 24;
constexpr QChar kZeroWidthSpace(0x200B);

// `text` with a zero-width space after each character of its long unbroken runs (a path or a
// film name without blanks), which a label then wraps anywhere; empty when it has none.
QString BreakLongRuns(const QString& text)
{
    QString broken;
    qsizetype runStart = 0;
    bool anyLong = false;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !text[i].isSpace())
            continue;
        const QStringView run = QStringView(text).mid(runStart, i - runStart);
        if (run.size() > kLongestUnbrokenRun) {
            anyLong = true;
            for (qsizetype k = 0; k < run.size(); ++k) {
                broken += run[k];
                if (!run[k].isHighSurrogate())
                    broken += kZeroWidthSpace;
            }
        } else {
            broken += run;
        }
        if (i < text.size())
            broken += text[i];
        runStart = i + 1;
    }
    return anyLong ? broken : QString();
}

// Qt's box widens to the longest unbroken run, up to a limit past which the run leaves the box
// unread. A text with such runs is shown by a label of the box's own kind that wraps them
// anywhere; the box's label stays, hidden, with the text as given (text(), Ctrl+C).
void WrapLongRuns(QMessageBox& box)
{
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    const QString broken = label ? BreakLongRuns(label->text()) : QString();
    if (broken.isEmpty() || !box.layout())
        return;
    auto* shown = new QLabel(broken, &box);
    shown->setObjectName(QStringLiteral("wrappedText"));
    shown->setTextFormat(Qt::PlainText);
    shown->setWordWrap(true);
    shown->setAlignment(label->alignment());
    shown->setContentsMargins(label->contentsMargins());
    shown->setIndent(label->indent());
    shown->setMargin(label->margin());
    QLayoutItem* replaced = box.layout()->replaceWidget(label, shown);
    if (!replaced) {
        delete shown;
        return;
    }
    delete replaced;
    label->hide();
    // As wide as its longest line, up to the width Qt lets the box grow to (the screen's width
    // on a screen up to 1024 pixels wide, else 480 less, at most 1000) less the icon and margins:
    // a name that fits there reads on one line, as in Qt's box.
    const QScreen* screen = box.screen();
    const int screenWidth = screen ? screen->availableGeometry().width() : 1024;
    const int boxLimit = screenWidth <= 1024 ? screenWidth : std::min(screenWidth - 480, 1000);
    box.layout()->activate();
    const int aside = box.layout()->totalMinimumSize().width() - shown->minimumSizeHint().width();
    const QFontMetrics metrics(shown->font());
    int widest = 0;
    for (const QString& line : label->text().split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    shown->setMinimumWidth(std::max(0, std::min(widest, boxLimit - aside)));
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
    WrapLongRuns(box);
    switch (box.exec()) {
    case QMessageBox::Cancel: return IDCANCEL;
    case QMessageBox::Yes: return 6;
    case QMessageBox::No: return 7;
    default: return IDOK;
    }
}
