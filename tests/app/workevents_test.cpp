// SPDX-License-Identifier: GPL-2.0-or-later
// The window lives through long work: events run between the photos of a rebuild and the frames
// of a film, what only looks (scrolling) happens at once, and input that would act either waits
// until the work is done (keys) or is dropped (clicks), so no work ever starts inside another.

#include "childprogram.h"
#include "strevioapptest.h"

#include "framework/afxwork.h"
#include "framework/afxres.h"
#include "framework/clistctrl.h"
#include "framework/listviewwidget.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QListView>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <csignal>

#include <unistd.h>

namespace {

QListView* Widget(CListView_Photos* list)
{
    return list->GetListCtrl().GetWidget();
}

std::vector<int> Selected(CListView_Photos* list)
{
    std::vector<int> selected;
    for (int i = list->GetListCtrl().GetNextItem(-1, LVNI_SELECTED); i != -1;
         i = list->GetListCtrl().GetNextItem(i, LVNI_SELECTED))
        selected.push_back(i);
    return selected;
}

// Counts the wheel events that reach a widget.
class WheelCounter : public QObject {
public:
    int wheels = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        wheels += event->type() == QEvent::Wheel ? 1 : 0;
        return false;
    }
};

} // namespace

TEST_F(StrevioAppTest, TheWindowAnswersDuringWorkAndNothingStartsInsideIt)
{
    for (int i = 0; i < 12; ++i)
        ASSERT_TRUE(WriteFlatImage(PhotoPath(QStringLiteral("p%1.png").arg(i, 2, 10, QLatin1Char('0'))), 320, 240,
                                   QColor(20 * i, 80, 120)));
    CListView_Photos* list = OpenList(PhotoPath("p00.png"));
    ASSERT_NE(list, nullptr);
    struct Case {
        const char* work;
        std::function<void()> run;
        std::vector<int> selectedAfter; // a rebuild leaves nothing selected
    };
    const Case cases[] = {
        {"a rebuild", [list] { list->RebuildThumbnails(); }, {}},
        {"a film", [list] { list->OnMakeFilm(); }, {0, 1, 2}},
    };
    for (const Case& c : cases) {
        Select(list, {0, 1, 2});
        m_messages.clear();
        int rebuilds = 0;
        int nested = 0;
        bool userActing = false;
        QObject watcher;
        QObject::connect(Widget(list)->model(), &QAbstractItemModel::modelReset, &watcher, [&] {
            ++rebuilds;
            nested += userActing ? 1 : 0;
        });
        WheelCounter wheel;
        Widget(list)->viewport()->installEventFilter(&wheel);
        // What the user does while the work runs: a timer that fires only from an event loop does it.
        bool firedDuringWork = false;
        qsizetype messagesWhileActing = 0;
        QTimer::singleShot(0, &watcher, [&] {
            firedDuringWork = AfxIsWorking();
            userActing = true;
            const qsizetype before = m_messages.size();
            QTest::keyClick(Widget(list), Qt::Key_R);                                      // a rebuild
            QTest::keyClick(Widget(list), Qt::Key_F);                                      // a film
            QTest::mouseClick(Widget(list)->viewport(), Qt::LeftButton, {}, QPoint(2, 2)); // a selection
            QWheelEvent roll(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                             Qt::NoScrollPhase, false);
            QApplication::sendEvent(Widget(list)->viewport(), &roll);
            messagesWhileActing = m_messages.size() - before;
            userActing = false;
        });
        c.run();
        EXPECT_TRUE(firedDuringWork) << c.work << ": events ran during the work";
        EXPECT_EQ(nested, 0) << c.work << ": no rebuild inside the work";
        EXPECT_EQ(messagesWhileActing, 0) << c.work << ": no film inside the work";
        EXPECT_EQ(wheel.wheels, 1) << c.work << ": the wheel scrolls at once";
        const int rebuildsOfTheWork = rebuilds;
        const qsizetype messagesOfTheWork = m_messages.size();
        EXPECT_EQ(Selected(list), c.selectedAfter) << c.work << ": the click was dropped";
        // The keys act once the work is done, in order: R rebuilds, which leaves nothing selected
        // for the F after it.
        for (int round = 0; round < 4; ++round)
            QApplication::processEvents();
        EXPECT_EQ(rebuilds, rebuildsOfTheWork + 1) << c.work;
        ASSERT_EQ(m_messages.size(), messagesOfTheWork + 1) << c.work;
        EXPECT_EQ(m_messages.back(), "Please select one or more Photos first.") << c.work;
        Widget(list)->viewport()->removeEventFilter(&wheel);
    }
}

// A termination signal during a folder's first open ends the program at the next photo, the
// orderly way, instead of after the whole rebuild: far fewer thumbnails are made than photos.
TEST_F(StrevioAppTest, EachTerminationSignalDuringARebuildEndsTheProgramAtTheNextPhoto)
{
    constexpr int kPhotos = 300;
    const QString folder = PhotoPath(QStringLiteral("many"));
    ASSERT_TRUE(QDir().mkpath(folder));
    QImage picture(1600, 1200, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x * 7 % 256, y * 3 % 256, (x ^ y) % 256));
    const QString first = QDir(folder).filePath(QStringLiteral("0000.jpg"));
    ASSERT_TRUE(picture.save(first, "JPEG", 90));
    for (int k = 1; k < kPhotos; ++k)
        ASSERT_EQ(::link(QFile::encodeName(first).constData(),
                         QFile::encodeName(QDir(folder).filePath(QString::asprintf("%04d.jpg", k))).constData()),
                  0);
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        QTemporaryDir cache;
        const QByteArray previousCache = qgetenv("XDG_CACHE_HOME");
        qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
        ChildProgram driver;
        const bool started =
            driver.Start(QStringLiteral(STREVIO_FILM_DRIVER), {first, FilmFolder(), QStringLiteral("--open-only")});
        qputenv("XDG_CACHE_HOME", previousCache);
        ASSERT_TRUE(started) << driver.Error().toStdString();
        // Signalled once its first thumbnails are in the shared cache.
        const QDir entries(cache.path() + QStringLiteral("/thumbnails/large"));
        QElapsedTimer failsafe;
        failsafe.start();
        while (driver.IsRunning() && entries.entryList(QDir::Files).size() < 2 && failsafe.elapsed() < 120000)
            driver.WaitForFinished(2);
        ASSERT_TRUE(driver.IsRunning()) << "signal " << signal << ": " << driver.Output().toStdString();
        ASSERT_EQ(::kill(driver.Pid(), signal), 0);
        ASSERT_TRUE(driver.WaitForFinished(120000)) << "signal " << signal;
        EXPECT_FALSE(driver.Crashed()) << "signal " << signal;
        EXPECT_EQ(driver.ExitCode(), 128 + signal);
        EXPECT_LT(entries.entryList(QDir::Files).size(), kPhotos / 2) << "signal " << signal;
    }
}
