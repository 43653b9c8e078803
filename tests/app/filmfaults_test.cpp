// SPDX-License-Identifier: GPL-2.0-or-later
// Films that meet faults: a full disk (injected and real), a start folder that cannot be written,
// the film's folder removed or moved away while the film is written, photos removed or cut short
// after they were listed, film names as long as the file system allows, and the program ended by
// a signal or killed while it writes a film. A failure names the film, keeps an earlier film of
// that name byte for byte, leaves no partial file, and the next film succeeds once the cause is
// gone.

#include "childprogram.h"
#include "strevioapptest.h"

#include "app/globals.h"
#include "platform/avifile/avifile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <cstring>

#include <sys/mount.h>
#include <unistd.h>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

QStringList Entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
}

bool Near(QColor actual, QColor expected, int tolerance = 8)
{
    return std::abs(actual.red() - expected.red()) <= tolerance && std::abs(actual.green() - expected.green()) <= tolerance
        && std::abs(actual.blue() - expected.blue()) <= tolerance;
}

// True once the process has a handler of its own for `signal`.
bool Catches(pid_t process, int signal)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(process));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signal - 1)) & 1;
    return false;
}

// A tmpfs of its own, unmounted when the test ends; valid() is false where mounting is refused.
class ScopedTmpfs {
public:
    explicit ScopedTmpfs(const QString& options)
    {
        if (::mount("tmpfs", m_dir.path().toUtf8().constData(), "tmpfs", 0, options.toUtf8().constData()) == 0)
            m_mounted = true;
        else
            m_error = std::strerror(errno);
    }
    ~ScopedTmpfs()
    {
        if (m_mounted)
            ::umount2(m_dir.path().toUtf8().constData(), MNT_DETACH);
    }
    bool valid() const { return m_mounted; }
    std::string error() const { return m_error; }
    QString path() const { return m_dir.path(); }
    bool SetReadOnly(bool readOnly) const
    {
        const unsigned long flags = MS_REMOUNT | (readOnly ? MS_RDONLY : 0);
        return ::mount("tmpfs", m_dir.path().toUtf8().constData(), "tmpfs", flags, nullptr) == 0;
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    std::string m_error;
};

} // namespace

class FilmFaultsTest : public StrevioAppTest {
protected:
    void TearDown() override
    {
        avifile::SetWriteFaultHookForTesting({});
        StrevioAppTest::TearDown();
    }

    QString FilmPath() const { return QDir(g_StartFolder).filePath(QStringLiteral("Film.avi")); }

    // A list of two photos, both selected.
    CListView_Photos* TwoPhotoList()
    {
        EXPECT_TRUE(WriteFlatImage(PhotoPath("a.png"), 64, 48, Qt::red));
        EXPECT_TRUE(WriteFlatImage(PhotoPath("b.png"), 64, 48, Qt::green));
        CListView_Photos* list = OpenList(PhotoPath("a.png"));
        if (list)
            Select(list, {0, 1});
        return list;
    }

    // Makes the film of the selected photos and returns the one message it gave.
    QString MakeFilm(CListView_Photos* list)
    {
        m_messages.clear();
        list->OnMakeFilm();
        EXPECT_EQ(m_messages.size(), 1) << m_messages.join(QStringLiteral(" | ")).toStdString();
        return m_messages.value(0);
    }

    void ExpectFailureNaming(const QString& message) const
    {
        EXPECT_TRUE(message.startsWith(QStringLiteral("Can not")) && message.contains('"' + FilmPath() + '"'))
            << message.toStdString();
    }

    void ExpectSuccess(const QString& message, int frames) const
    {
        EXPECT_TRUE(message.startsWith(QStringLiteral("The Movie file")) && message.contains('"' + FilmPath() + '"'))
            << message.toStdString();
        EXPECT_EQ(ProbeFilm(FilmPath()).packets, frames);
    }

    // The film of kLongFilm photos (links to one small photo) made by the film driver in a process
    // of its own, into the start folder; long, yet quick to start.
    void StartFilmDriver(ChildProgram& driver)
    {
        const QString folder = PhotoPath(QStringLiteral("many"));
        const QString first = QDir(folder).filePath(QStringLiteral("0000.png"));
        if (!QFileInfo::exists(first)) {
            ASSERT_TRUE(QDir().mkpath(folder));
            ASSERT_TRUE(WriteFlatImage(first, 64, 48, Qt::blue));
            for (int k = 1; k < kLongFilm; ++k) {
                const QString link = QDir(folder).filePath(QString::asprintf("%04d.png", k));
                ASSERT_EQ(::link(QFile::encodeName(first).constData(), QFile::encodeName(link).constData()), 0);
            }
        }
        ASSERT_TRUE(driver.Start(QStringLiteral(STREVIO_FILM_DRIVER), {first, g_StartFolder}))
            << driver.Error().toStdString();
    }

    // The name of the film's temporary file once it holds `bytes` (a few frames); empty when the
    // driver ended before.
    static QString WaitForTemporaryFile(ChildProgram& driver, qint64 bytes)
    {
        QElapsedTimer clock;
        clock.start();
        while (driver.IsRunning() && clock.elapsed() < 120000) {
            for (const QString& name : Entries(g_StartFolder)) {
                const QFileInfo file(QDir(g_StartFolder).filePath(name));
                if (name.endsWith(QStringLiteral(".tmp")) && file.size() >= bytes)
                    return name;
            }
            driver.WaitForFinished(5);
        }
        return QString();
    }

    static constexpr int kLongFilm = 400;
    static constexpr qint64 kSomeFrames = 1 << 20;
    const QByteArray m_earlier = QByteArrayLiteral("an earlier film, kept byte for byte");
};

TEST_F(FilmFaultsTest, ADiskFullAtAnyWriteKeepsTheEarlierFilm)
{
    CListView_Photos* list = TwoPhotoList();
    ASSERT_NE(list, nullptr);
    int writes = 0;
    avifile::SetWriteFaultHookForTesting([&writes](std::uint64_t, std::uint64_t) { return ++writes, false; });
    ExpectSuccess(MakeFilm(list), 2);
    const int writesOfAFilm = writes;
    ASSERT_GE(writesOfAFilm, 3);

    // The first write, one in the middle of the frames, and the last one made while closing.
    for (int failing : {1, writesOfAFilm / 2, writesOfAFilm}) {
        ASSERT_TRUE(WriteAll(FilmPath(), m_earlier));
        writes = 0;
        avifile::SetWriteFaultHookForTesting([&writes, failing](std::uint64_t, std::uint64_t) { return ++writes >= failing; });
        ExpectFailureNaming(MakeFilm(list));
        EXPECT_EQ(ReadAll(FilmPath()), m_earlier) << "failing write " << failing;
        EXPECT_EQ(Entries(g_StartFolder), QStringList{"Film.avi"}) << "failing write " << failing;
    }
    avifile::SetWriteFaultHookForTesting({});
    ExpectSuccess(MakeFilm(list), 2);
    EXPECT_EQ(Entries(g_StartFolder), QStringList{"Film.avi"});
}

TEST_F(FilmFaultsTest, ARealFullDiskKeepsTheEarlierFilmUntilSpaceIsFreed)
{
    ScopedTmpfs disk(QStringLiteral("size=3m,mode=0755"));
    if (!disk.valid())
        GTEST_SKIP() << "a tmpfs cannot be mounted here: " << disk.error();
    g_StartFolder = disk.path();
    CListView_Photos* list = TwoPhotoList();
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(WriteAll(FilmPath(), m_earlier));
    ASSERT_TRUE(WriteAll(QDir(disk.path()).filePath("filler"), QByteArray(2600 * 1024, 'x')));

    ExpectFailureNaming(MakeFilm(list));
    EXPECT_EQ(ReadAll(FilmPath()), m_earlier);
    EXPECT_EQ(Entries(disk.path()), (QStringList{"Film.avi", "filler"}));

    ASSERT_TRUE(QFile::remove(QDir(disk.path()).filePath("filler")));
    ExpectSuccess(MakeFilm(list), 2);
    EXPECT_EQ(Entries(disk.path()), QStringList{"Film.avi"});
}

TEST_F(FilmFaultsTest, AStartFolderOnAReadOnlyFilesystemIsNamedAndKeepsItsFilm)
{
    CListView_Photos* list = TwoPhotoList();
    ASSERT_NE(list, nullptr);
    ScopedTmpfs disk(QStringLiteral("size=16m,mode=0755"));
    if (!disk.valid()) {
        // Root writes through permissions, but not into /proc.
        g_StartFolder = QStringLiteral("/proc");
        ExpectFailureNaming(MakeFilm(list));
        EXPECT_FALSE(QFileInfo::exists(FilmPath()));
        return;
    }
    g_StartFolder = disk.path();
    ASSERT_TRUE(WriteAll(FilmPath(), m_earlier));
    ASSERT_TRUE(disk.SetReadOnly(true));
    ExpectFailureNaming(MakeFilm(list));
    EXPECT_EQ(ReadAll(FilmPath()), m_earlier);
    EXPECT_EQ(Entries(disk.path()), QStringList{"Film.avi"});

    ASSERT_TRUE(disk.SetReadOnly(false));
    ExpectSuccess(MakeFilm(list), 2);
    EXPECT_EQ(Entries(disk.path()), QStringList{"Film.avi"});
}

TEST_F(FilmFaultsTest, TheFilmFolderRemovedWhileWritingIsNotCreatedAgain)
{
    CListView_Photos* list = TwoPhotoList();
    ASSERT_NE(list, nullptr);
    g_StartFolder = QDir(FilmFolder()).filePath(QStringLiteral("films"));
    ASSERT_TRUE(QDir().mkpath(g_StartFolder));
    ASSERT_TRUE(WriteAll(FilmPath(), m_earlier));
    int writes = 0;
    avifile::SetWriteFaultHookForTesting([&writes](std::uint64_t, std::uint64_t) {
        if (++writes == 2)
            QDir(g_StartFolder).removeRecursively();
        return false;
    });
    ExpectFailureNaming(MakeFilm(list));
    EXPECT_FALSE(QFileInfo::exists(g_StartFolder));
    EXPECT_EQ(Entries(FilmFolder()), QStringList{});

    avifile::SetWriteFaultHookForTesting({});
    ASSERT_TRUE(QDir().mkpath(g_StartFolder));
    ExpectSuccess(MakeFilm(list), 2);
    EXPECT_EQ(Entries(g_StartFolder), QStringList{"Film.avi"});
}

TEST_F(FilmFaultsTest, TheFilmFolderMovedAwayWhileWritingKeepsItsFilmAndGetsNoPartialFile)
{
    CListView_Photos* list = TwoPhotoList();
    ASSERT_NE(list, nullptr);
    g_StartFolder = QDir(FilmFolder()).filePath(QStringLiteral("films"));
    const QString movedTo = QDir(FilmFolder()).filePath(QStringLiteral("moved"));
    ASSERT_TRUE(QDir().mkpath(g_StartFolder));
    ASSERT_TRUE(WriteAll(FilmPath(), m_earlier));
    int writes = 0;
    avifile::SetWriteFaultHookForTesting([&](std::uint64_t, std::uint64_t) {
        if (++writes == 2)
            QDir().rename(g_StartFolder, movedTo);
        return false;
    });
    ExpectFailureNaming(MakeFilm(list));
    EXPECT_FALSE(QFileInfo::exists(g_StartFolder));
    EXPECT_EQ(ReadAll(QDir(movedTo).filePath("Film.avi")), m_earlier);
    EXPECT_EQ(Entries(movedTo), QStringList{"Film.avi"});

    avifile::SetWriteFaultHookForTesting({});
    ASSERT_TRUE(QDir().rename(movedTo, g_StartFolder));
    ExpectSuccess(MakeFilm(list), 2);
    EXPECT_EQ(Entries(g_StartFolder), QStringList{"Film.avi"});
}

TEST_F(FilmFaultsTest, PhotosRemovedOrCutShortAfterListingGiveBlackOrTheirDecodablePart)
{
    // Bands of colour from top to bottom, so that a cut file still holds its top bands.
    QImage bands(320, 240, QImage::Format_RGB32);
    const QColor colours[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow};
    for (int band = 0; band < 4; ++band)
        for (int y = band * 60; y < band * 60 + 60; ++y)
            for (int x = 0; x < 320; ++x)
                bands.setPixelColor(x, y, colours[band]);
    ASSERT_TRUE(bands.save(PhotoPath("1-removed.jpg"), "JPEG", 95));
    ASSERT_TRUE(bands.save(PhotoPath("2-cut.jpg"), "JPEG", 95));
    ASSERT_TRUE(bands.save(PhotoPath("3-cut.png"), "PNG"));
    ASSERT_TRUE(WriteFlatImage(PhotoPath("4-whole.png"), 64, 48, Qt::cyan));
    CListView_Photos* list = OpenList(PhotoPath("4-whole.png"));
    ASSERT_NE(list, nullptr);
    Select(list, {0, 1, 2, 3});
    ASSERT_TRUE(QFile::remove(PhotoPath("1-removed.jpg")));
    for (const char* name : {"2-cut.jpg", "3-cut.png"}) {
        QFile photo(PhotoPath(name));
        ASSERT_TRUE(photo.resize(photo.size() * 2 / 5));
    }
    ASSERT_TRUE(WriteAll(FilmPath(), m_earlier));

    ExpectSuccess(MakeFilm(list), 4);
    EXPECT_EQ(Entries(g_StartFolder), QStringList{"Film.avi"});
    const QImage removed = DecodeFilmFrame(FilmPath(), 0);
    ASSERT_FALSE(removed.isNull());
    EXPECT_TRUE(Near(removed.pixelColor(0, 0), Qt::black));
    EXPECT_TRUE(Near(removed.pixelColor(160, 120), Qt::black));
    // A cut photo shows its top bands, or nothing; never a band past the cut, nor anything
    // beyond its own size.
    for (int frame : {1, 2}) {
        const QImage cut = DecodeFilmFrame(FilmPath(), frame);
        ASSERT_FALSE(cut.isNull());
        const QColor top = cut.pixelColor(10, 10);
        EXPECT_TRUE(Near(top, Qt::red, 24) || Near(top, Qt::black)) << frame;
        EXPECT_FALSE(Near(cut.pixelColor(10, 230), Qt::yellow, 24)) << frame;
        EXPECT_TRUE(Near(cut.pixelColor(400, 10), Qt::black)) << frame;
        EXPECT_TRUE(Near(cut.pixelColor(10, 300), Qt::black)) << frame;
    }
    EXPECT_TRUE(Near(DecodeFilmFrame(FilmPath(), 3).pixelColor(10, 10), Qt::cyan));
}

TEST_F(FilmFaultsTest, FilmNamesUpTo255BytesLandUnderTheirWholeNameAndLongerOnesAreRefused)
{
    CListView_Photos* list = TwoPhotoList();
    ASSERT_NE(list, nullptr);
    // 233, 234 and 255 bytes; 255 in two-byte and in three-byte characters.
    const QString names[] = {QString(229, 'f') + ".avi", QString(230, 'f') + ".avi", QString(251, 'f') + ".avi",
                             QString(125, QChar(0xE9)) + "x.avi", QString(83, QChar(0x20AC)) + "xx.avi"};
    for (const QString& name : names) {
        ASSERT_LE(name.toUtf8().size(), 255);
        list->m_FilmName = name;
        const QString path = QDir(g_StartFolder).filePath(name);
        const QString message = MakeFilm(list);
        EXPECT_TRUE(message.startsWith(QStringLiteral("The Movie file")) && message.contains('"' + path + '"'))
            << name.toUtf8().size() << ": " << message.toStdString();
        EXPECT_EQ(Entries(g_StartFolder), QStringList{name}) << name.toUtf8().size();
        EXPECT_EQ(ProbeFilm(path).packets, 2) << name.toUtf8().size();
        QFile::remove(path);
    }
    list->m_FilmName = QString(252, 'f') + ".avi";
    const QString message = MakeFilm(list);
    EXPECT_TRUE(message.startsWith(QStringLiteral("Can not create a Film file"))) << message.toStdString();
    EXPECT_EQ(Entries(g_StartFolder), QStringList{});
}

TEST_F(FilmFaultsTest, EachTerminationSignalMidFilmDropsTheFilmKeepsTheEarlierOneAndEndsTheProgram)
{
    ASSERT_TRUE(WriteAll(FilmPath(), m_earlier));
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        ChildProgram driver;
        StartFilmDriver(driver);
        const QString temporary = WaitForTemporaryFile(driver, kSomeFrames);
        ASSERT_FALSE(temporary.isEmpty()) << driver.Output().toStdString();
        ASSERT_EQ(::kill(driver.Pid(), signal), 0);
        ASSERT_TRUE(driver.WaitForFinished(60000)) << "signal " << signal;
        EXPECT_FALSE(driver.Crashed()) << "signal " << signal;
        EXPECT_EQ(driver.ExitCode(), 128 + signal);
        EXPECT_EQ(QString::fromUtf8(driver.StandardOutput()), QString()) << "no message, no success";
        EXPECT_EQ(ReadAll(FilmPath()), m_earlier) << "signal " << signal;
        EXPECT_EQ(Entries(g_StartFolder), QStringList{"Film.avi"}) << "signal " << signal;
    }
}

TEST_F(FilmFaultsTest, WithoutAFilmTheProgramEndsTheOrderlyWayOnEachTerminationSignal)
{
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        ChildProgram program;
        ASSERT_TRUE(program.Start(QStringLiteral(STREVIO_PROGRAM), {}, FilmFolder())) << program.Error().toStdString();
        QElapsedTimer clock;
        clock.start();
        while (!Catches(program.Pid(), signal) && program.IsRunning() && clock.elapsed() < 60000)
            program.WaitForFinished(5);
        ASSERT_TRUE(Catches(program.Pid(), signal)) << "signal " << signal;
        ASSERT_EQ(::kill(program.Pid(), signal), 0);
        ASSERT_TRUE(program.WaitForFinished(60000)) << "signal " << signal;
        EXPECT_FALSE(program.Crashed()) << "signal " << signal;
        EXPECT_EQ(program.ExitCode(), 128 + signal);
    }
}

TEST_F(FilmFaultsTest, AFilmKilledMidWayLeavesItsTemporaryFileForTheNextFilmOfItsNameToRemove)
{
    ASSERT_TRUE(WriteAll(FilmPath(), m_earlier));
    ChildProgram driver;
    StartFilmDriver(driver);
    const QString temporary = WaitForTemporaryFile(driver, kSomeFrames);
    ASSERT_FALSE(temporary.isEmpty()) << driver.Output().toStdString();
    ASSERT_EQ(::kill(driver.Pid(), SIGKILL), 0);
    ASSERT_TRUE(driver.WaitForFinished(60000));
    EXPECT_TRUE(driver.Crashed());
    EXPECT_EQ(Entries(g_StartFolder), (QStringList{temporary, "Film.avi"}));
    EXPECT_EQ(ReadAll(FilmPath()), m_earlier);

    CListView_Photos* list = TwoPhotoList();
    ASSERT_NE(list, nullptr);
    ExpectSuccess(MakeFilm(list), 2);
    EXPECT_EQ(Entries(g_StartFolder), QStringList{"Film.avi"});
}

TEST_F(FilmFaultsTest, AFilmOfTheSameNameThatAnotherProgramIsWritingIsLeftAlone)
{
    ChildProgram driver;
    StartFilmDriver(driver);
    const QString temporary = WaitForTemporaryFile(driver, kSomeFrames);
    ASSERT_FALSE(temporary.isEmpty()) << driver.Output().toStdString();

    CListView_Photos* list = TwoPhotoList();
    ASSERT_NE(list, nullptr);
    ExpectSuccess(MakeFilm(list), 2);
    EXPECT_EQ(Entries(g_StartFolder), (QStringList{temporary, "Film.avi"}));
    const QByteArray ours = ReadAll(FilmPath());

    ASSERT_EQ(::kill(driver.Pid(), SIGTERM), 0);
    ASSERT_TRUE(driver.WaitForFinished(60000));
    EXPECT_EQ(driver.ExitCode(), 128 + SIGTERM);
    EXPECT_EQ(Entries(g_StartFolder), QStringList{"Film.avi"});
    EXPECT_EQ(ReadAll(FilmPath()), ours);
}
