// SPDX-License-Identifier: GPL-2.0-or-later
// The Properties dialog and the film settings of each photo list.

#include "strevioapptest.h"

#include "app/globals.h"
#include "film/cdia_properties.h"
#include "framework/afxres.h"
#include "res/resource.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {
// Answers the next modal dialog: reads its two edits into `shown`, types the given texts (null:
// leave as is) and presses the button.
void AnswerDialog(QStringList* shown, const QString& name, const QString& rate, int button)
{
    QTimer::singleShot(0, [=] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        auto* nameEdit = dialog->findChild<QLineEdit*>(QStringLiteral("control%1").arg(IDC_FILM_NAME));
        auto* rateEdit = dialog->findChild<QLineEdit*>(QStringLiteral("control%1").arg(IDC_FILM_FPS));
        ASSERT_TRUE(nameEdit && rateEdit);
        if (shown)
            *shown = {nameEdit->text(), rateEdit->text()};
        if (!name.isNull())
            nameEdit->setText(name);
        if (!rate.isNull())
            rateEdit->setText(rate);
        dialog->findChild<QPushButton*>(QStringLiteral("control%1").arg(button))->click();
    });
}
} // namespace

using PropertiesTest = StrevioAppTest;

TEST_F(PropertiesTest, ShowsTheWindowsSettingsAndOkStoresThem)
{
    ASSERT_TRUE(WriteFlatImage(PhotoPath("a.png"), 40, 30, Qt::red));
    CListView_Photos* list = OpenList(PhotoPath("a.png"));
    ASSERT_NE(list, nullptr);
    QStringList shown;
    AnswerDialog(&shown, QStringLiteral("Holiday.avi"), QStringLiteral(" 12 "), IDOK);
    list->OnShowProperties();
    EXPECT_EQ(shown, (QStringList{"Film.avi", "2"}));
    EXPECT_EQ(list->m_FilmName, "Holiday.avi");
    EXPECT_EQ(list->m_FilmFps, 12);
}

TEST_F(PropertiesTest, CancelKeepsTheWindowButSeedsLaterWindows)
{
    ASSERT_TRUE(WriteFlatImage(PhotoPath("a.png"), 40, 30, Qt::red));
    CListView_Photos* first = OpenList(PhotoPath("a.png"));
    ASSERT_NE(first, nullptr);
    first->m_FilmName = QStringLiteral("First.avi");
    first->m_FilmFps = 9;
    AnswerDialog(nullptr, QStringLiteral("Ignored.avi"), QStringLiteral("30"), IDCANCEL);
    first->OnShowProperties();
    EXPECT_EQ(first->m_FilmName, "First.avi");
    EXPECT_EQ(first->m_FilmFps, 9);
    CListView_Photos* second = OpenList(PhotoPath("a.png"));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->m_FilmName, "First.avi");
    EXPECT_EQ(second->m_FilmFps, 9);

    AnswerDialog(nullptr, QStringLiteral("Second.avi"), QStringLiteral("4"), IDOK);
    second->OnShowProperties();
    EXPECT_EQ(second->m_FilmName, "Second.avi");
    EXPECT_EQ(first->m_FilmName, "First.avi"); // windows keep separate settings
    EXPECT_EQ(first->m_FilmFps, 9);
}

TEST_F(PropertiesTest, RatesBelowOneOrNoWholeNumberAndEmptyNamesKeepTheDialogOpen)
{
    ASSERT_TRUE(WriteFlatImage(PhotoPath("a.png"), 40, 30, Qt::red));
    CListView_Photos* list = OpenList(PhotoPath("a.png"));
    ASSERT_NE(list, nullptr);
    struct Entry {
        QString name;
        QString rate;
    };
    const Entry refused[] = {{QString(), ""},   {QString(), "abc"},         {QString(), "2.5"},
                             {QString(), "0"},  {QString(), "-1"},          {QString(), "-2147483648"},
                             {QString(), "2147483648"}, {"", "3"},          {"   ", "3"}};
    for (const Entry& entry : refused) {
        m_messages.clear();
        AnswerDialog(nullptr, entry.name, entry.rate, IDOK);
        // After the refusal the dialog is still open; cancel it.
        QTimer::singleShot(50, [] {
            if (QWidget* dialog = QApplication::activeModalWidget())
                dialog->findChild<QPushButton*>(QStringLiteral("control%1").arg(IDCANCEL))->click();
        });
        list->OnShowProperties();
        const QString expected = entry.name.isNull()
                                     ? QStringLiteral("Frames per second must be a whole number from 1 to 2147483647, such as 2.")
                                     : QStringLiteral("The film needs a file name, such as Film.avi.");
        EXPECT_EQ(m_messages, QStringList{expected}) << entry.name.toStdString() << "/" << entry.rate.toStdString();
        EXPECT_EQ(list->m_FilmFps, 2);
        EXPECT_EQ(list->m_FilmName, "Film.avi");
    }
    AnswerDialog(nullptr, QStringLiteral(" Spaced.avi"), QStringLiteral(" 2147483647 "), IDOK);
    list->OnShowProperties();
    EXPECT_EQ(list->m_FilmFps, std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(list->m_FilmName, " Spaced.avi");
}
