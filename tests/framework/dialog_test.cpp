// SPDX-License-Identifier: GPL-2.0-or-later
// Dialogs built from a template: controls at their dialog-unit rectangles, data exchange with
// the edits, and the results of OK, Cancel, Escape and Return.

#include "framework/afxres.h"
#include "framework/cmultidoctemplate.h"
#include "framework/resources.h"
#include "tests/framework/frameworkfixture.h"
#include "tests/framework/testdialog.h"
#include "tests/framework/testmainframe.h"
#include "tests/framework/testresources.h"
#include "tests/framework/testview.h"

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {
// Runs `action` on the modal dialog once it is shown. If none appears, every dialog is rejected
// so that the test fails instead of waiting for ever.
void WhenModal(std::function<void(QDialog*)> action, int attempts = 100)
{
    QTimer::singleShot(10, [action = std::move(action), attempts]() mutable {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            action(dialog);
            return;
        }
        if (attempts > 0) {
            WhenModal(std::move(action), attempts - 1);
            return;
        }
        ADD_FAILURE() << "no modal dialog appeared";
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<QDialog*>(widget))
                dialog->reject();
    });
}

QPushButton* Button(QDialog* dialog, int id)
{
    return dialog->findChild<QPushButton*>(QStringLiteral("control%1").arg(id));
}

class TemplateDialog : public FrameworkFixture {
protected:
    const DialogResource& Resource() const { return CResources::Instance().dialogs.at(IDD_TEST_DIALOG); }
};
} // namespace

TEST_F(TemplateDialog, ControlsSitAtTheirDialogUnitRectangles)
{
    CTestDialog dialog(IDD_TEST_DIALOG);
    QStringList misplaced;
    QSize size;
    QSize baseUnits;
    QFont font;
    WhenModal([&](QDialog* window) {
        size = window->size();
        font = window->font();
        baseUnits = dialog.MapDialogRect(0, 0, 4, 8).size();
        for (const DialogControlResource& control : Resource().controls) {
            if (control.id == IDC_STATIC)
                continue;
            const QRect expected = dialog.MapDialogRect(control.x, control.y, control.cx, control.cy);
            if (dialog.GetDlgItem(control.id)->geometry() != expected)
                misplaced.append(QString::number(control.id));
        }
        window->reject();
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(misplaced.isEmpty()) << misplaced.join(' ').toStdString();
    EXPECT_EQ(size, dialog.MapDialogRect(0, 0, Resource().cx, Resource().cy).size());
    // Four horizontal units make an average character, eight vertical units a line.
    const QFontMetrics metrics(font);
    EXPECT_NEAR(baseUnits.width(), metrics.averageCharWidth(), 2);
    EXPECT_NEAR(baseUnits.height(), metrics.height(), 2);
    EXPECT_EQ(font.pointSize(), Resource().pointSize);
}

TEST_F(TemplateDialog, DataExchangeAttachesTheEditsAndOkReturnsTheirTexts)
{
    CTestDialog dialog(IDD_TEST_DIALOG);
    QString shownName;
    WhenModal([&](QDialog* window) {
        auto* name = qobject_cast<QLineEdit*>(dialog.GetDlgItem(IDC_TEST_NAME));
        shownName = name ? name->text() : QString();
        if (name) {
            name->clear();
            QTest::keyClicks(name, "typed");
        }
        QTest::mouseClick(Button(window, IDOK), Qt::LeftButton);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_name.GetSafeWidget(), dialog.GetDlgItem(IDC_TEST_NAME));
    EXPECT_EQ(dialog.m_count.GetSafeWidget(), dialog.GetDlgItem(IDC_TEST_COUNT));
    EXPECT_NE(dialog.m_name.GetSafeWidget(), nullptr);
    EXPECT_EQ(shownName, "initial") << "OnInitDialog wrote through the attached edit";
    EXPECT_EQ(dialog.m_strNameOnOk, "typed");
    EXPECT_EQ(dialog.m_name.GetWindowText(), "typed");
}

TEST_F(TemplateDialog, ReturnPressesTheDefaultButton)
{
    CTestDialog dialog(IDD_TEST_DIALOG);
    WhenModal([&](QDialog*) { QTest::keyClick(dialog.GetDlgItem(IDC_TEST_COUNT), Qt::Key_Return); });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_nOkCalls, 1);
}

TEST_F(TemplateDialog, CancelAndEscapeReturnCancelWithoutOk)
{
    CTestDialog byButton(IDD_TEST_DIALOG);
    WhenModal([](QDialog* window) { QTest::mouseClick(Button(window, IDCANCEL), Qt::LeftButton); });
    EXPECT_EQ(byButton.DoModal(), IDCANCEL);
    EXPECT_EQ(byButton.m_nOkCalls, 0);

    CTestDialog byEscape(IDD_TEST_DIALOG);
    WhenModal([&](QDialog*) { QTest::keyClick(byEscape.GetDlgItem(IDC_TEST_NAME), Qt::Key_Escape); });
    EXPECT_EQ(byEscape.DoModal(), IDCANCEL);
    EXPECT_EQ(byEscape.m_nOkCalls, 0);
}

TEST_F(TemplateDialog, AcceleratorsLeaveTheKeysOfAModalDialogAlone)
{
    CDocument* document = Template(IDR_TYPE_A)->OpenDocumentFile(MakeFile("a.jpg"), true);
    ASSERT_NE(document, nullptr);
    CTestDialog dialog(IDD_TEST_DIALOG);
    WhenModal([&](QDialog* window) {
        QTest::keyClick(dialog.GetDlgItem(IDC_TEST_NAME), Qt::Key_T, Qt::ControlModifier);
        QTest::keyClick(Frame()->GetSafeWidget(), Qt::Key_T, Qt::ControlModifier);
        window->reject();
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(CommandLog().isEmpty()) << CommandLog().join(' ').toStdString();
    QTest::keyClick(ViewOf(document)->GetSafeWidget(), Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(CommandLog(), QStringList{LogEntry("view a.jpg", ID_CMD_VIEW)}) << "the table works again";
}

TEST_F(TemplateDialog, MissingTemplateFailsAtOnce)
{
    CTestDialog dialog(9999);
    EXPECT_EQ(dialog.DoModal(), -1);
}
