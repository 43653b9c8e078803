// SPDX-License-Identifier: GPL-2.0-or-later
// A film stops at once, one way for every cause: Esc pressed while it runs, or the first frame
// that cannot be stored. Nothing is written, the earlier film of that name stays byte for byte,
// the progress display goes and the message says what happened.

#include "strevioapptest.h"

#include "app/cframetools.h"
#include "app/globals.h"
#include "framework/listviewwidget.h"
#include "platform/avifile/avifile.h"

#include <QChildEvent>
#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QTest>
#include <QTimer>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The highest position the progress bar of the status bar reached, and what to do at a position.
class ProgressWatcher : public QObject {
public:
    int highest = 0;
    std::function<void(int)> onPosition;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::ChildPolished)
            if (auto* bar = qobject_cast<QProgressBar*>(static_cast<QChildEvent*>(event)->child()))
                QObject::connect(bar, &QProgressBar::valueChanged, this, [this](int value) {
                    highest = std::max(highest, value);
                    if (onPosition)
                        onPosition(value);
                });
        return false;
    }
};

} // namespace

TEST_F(StrevioAppTest, AFilmStopsAtOnceOnEscOrAtTheFirstFrameThatCannotBeStored)
{
    constexpr int kPhotos = 20;
    for (int i = 0; i < kPhotos; ++i)
        ASSERT_TRUE(WriteFlatImage(PhotoPath(QStringLiteral("p%1.png").arg(i, 2, 10, QLatin1Char('0'))), 64, 48,
                                   QColor(10 * i, 90, 160)));
    CListView_Photos* list = OpenList(PhotoPath("p00.png"));
    ASSERT_NE(list, nullptr);
    const QString film = QDir(g_StartFolder).filePath(QStringLiteral("Film.avi"));
    const QByteArray earlier = QByteArrayLiteral("an earlier film, kept byte for byte");
    struct Case {
        const char* cause;
        bool escAtTenPercent;
        int failingFromWrite; // 0: every write succeeds
        QString message;
    };
    const Case cases[] = {
        {"Esc", true, 0, QStringLiteral("The Film \"%1\" was stopped; nothing was written.").arg(film)},
        {"a full disk", false, 2,
         QStringLiteral("Can not write the Film file \"%1\".\n\nThe disk may be full or its folder may be gone; "
                        "an earlier film of that name was kept.")
             .arg(film)},
    };
    for (const Case& c : cases) {
        {
            QFile file(film);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(earlier) == earlier.size());
        }
        int writes = 0;
        avifile::SetWriteFaultHookForTesting(
            [&](std::uint64_t, std::uint64_t) { return c.failingFromWrite > 0 && ++writes >= c.failingFromWrite; });
        ProgressWatcher progress;
        // Esc typed as the user types it: it arrives through the event loop the film lets run.
        progress.onPosition = [&](int value) {
            if (c.escAtTenPercent && value >= 10)
                QTimer::singleShot(0, list->GetListCtrl().GetWidget(), [list] {
                    QTest::keyClick(list->GetListCtrl().GetWidget(), Qt::Key_Escape);
                });
        };
        Frame()->m_wndStatusBar.GetSafeWidget()->installEventFilter(&progress);
        m_messages.clear();
        list->OnSelectAll();
        list->OnMakeFilm();
        avifile::SetWriteFaultHookForTesting({});
        Frame()->m_wndStatusBar.GetSafeWidget()->removeEventFilter(&progress);
        EXPECT_EQ(m_messages, QStringList{c.message}) << c.cause;
        EXPECT_EQ(ReadAll(film), earlier) << c.cause;
        EXPECT_EQ(QDir(g_StartFolder).entryList(QDir::Files | QDir::Hidden), QStringList{"Film.avi"}) << c.cause;
        EXPECT_FALSE(g_pFrameTools->m_Progress.HasWindow()) << c.cause;
        EXPECT_LT(progress.highest, 50) << c.cause << ": no further photo after the stop";
    }
    // And the next film is made whole.
    m_messages.clear();
    list->OnMakeFilm();
    ASSERT_EQ(m_messages.size(), 1);
    EXPECT_TRUE(m_messages[0].startsWith("The Movie file")) << m_messages[0].toStdString();
    EXPECT_EQ(ProbeFilm(film).packets, kPhotos);
}
