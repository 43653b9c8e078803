// SPDX-License-Identifier: GPL-2.0-or-later
// The film writer over the AVI file service: opening, frames, failures, and what FFmpeg reads.

#include "film/cdibimage.h"
#include "film/cfilmwriter.h"
#include "platform/paths/localpath.h"
#include "tests/app/childprogram.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace {
QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteText(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// ffprobe's answer for one stream entry, e.g. "codec_tag_string"; empty when there is none.
QString Probe(const QString& path, const QString& entries)
{
    ChildProgram probe;
    if (!probe.Start(QStringLiteral("ffprobe"), {"-v", "error", "-count_packets", "-show_entries", entries, "-of",
                                                 "default=noprint_wrappers=1:nokey=1", path})
        || !probe.WaitForFinished(60000) || probe.Crashed() || probe.ExitCode() != 0)
        return QStringLiteral("<error>");
    return QString::fromUtf8(probe.StandardOutput()).trimmed();
}

class FilmWriterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        ASSERT_TRUE(m_canvas.Create(64, 48, 24));
    }
    void TearDown() override { avifile::SetWriteFaultHookForTesting({}); }

    void FillCanvas(int value)
    {
        DIBSECTION section{};
        ASSERT_EQ(GetObjectA(m_canvas.m_Bitmap, GDI_DIBSECTION_BYTES, &section), GDI_DIBSECTION_BYTES);
        std::memset(section.dsBm.bmBits, value, section.dsBmih.biSizeImage);
    }

    static HBITMAP DeviceBitmap(int width, int height)
    {
        HDC screen = CreateCompatibleDC(nullptr);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
        DeleteDC(screen);
        return bitmap;
    }

    QString Path(const char* name) const { return m_folder.filePath(QString::fromLatin1(name)); }
    QStringList Files() const { return QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir m_folder;
    CDibImage m_canvas;
    CFilmWriter m_writer;
};
} // namespace

TEST_F(FilmWriterTest, RatesBelowOneAreRefusedAndLeaveAnExistingFileAlone)
{
    WriteText(Path("film.avi"), "keep me");
    for (int rate : {0, -1}) {
        EXPECT_FALSE(m_writer.Open(Path("film.avi"), rate));
        EXPECT_EQ(m_writer.m_File, nullptr);
    }
    EXPECT_EQ(ReadAll(Path("film.avi")), "keep me");
}

TEST_F(FilmWriterTest, OpenAndCloseMakeAFilmWithoutStreamThatReplacesTheEarlierFile)
{
    WriteText(Path("film.avi"), "an earlier film");
    ASSERT_TRUE(m_writer.Open(Path("film.avi"), 3));
    EXPECT_EQ(ReadAll(Path("film.avi")), "an earlier film"); // replaced only when complete
    EXPECT_EQ(m_writer.Close(), 0);
    EXPECT_TRUE(ReadAll(Path("film.avi")).startsWith("RIFF"));
    EXPECT_EQ(Probe(Path("film.avi"), "format=nb_streams"), "0");
    EXPECT_EQ(Files(), QStringList{"film.avi"});
}

TEST_F(FilmWriterTest, FramesGoToConsecutivePositionsAtTheGivenRate)
{
    ASSERT_TRUE(m_writer.Open(Path("film.avi"), 5));
    for (int k = 0; k < 3; ++k) {
        FillCanvas(40 * k);
        EXPECT_EQ(m_writer.AddFrame(m_canvas.m_Bitmap), 0);
        EXPECT_EQ(m_writer.m_FrameCount, k + 1);
    }
    EXPECT_EQ(m_writer.m_LastResult, 0);
    EXPECT_EQ(m_writer.Close(), 0);
    EXPECT_EQ(Probe(Path("film.avi"), "stream=codec_type,codec_tag_string,width,height,r_frame_rate,nb_read_packets"),
              "video\nMSVC\n64\n48\n5/1\n3");

    // The same writer serves the next film from position 0.
    ASSERT_TRUE(m_writer.Open(Path("second.avi"), 1));
    EXPECT_EQ(m_writer.m_FrameCount, 0);
    EXPECT_EQ(m_writer.AddFrame(m_canvas.m_Bitmap), 0);
    EXPECT_EQ(m_writer.m_FrameCount, 1);
    EXPECT_EQ(m_writer.Close(), 0);
    EXPECT_EQ(Probe(Path("second.avi"), "stream=r_frame_rate,nb_read_packets"), "1/1\n1");
}

TEST_F(FilmWriterTest, BitmapsThatAreNoDibSectionAreRefusedWithoutTouchingTheFilm)
{
    ASSERT_TRUE(m_writer.Open(Path("film.avi"), 2));
    ASSERT_EQ(m_writer.AddFrame(m_canvas.m_Bitmap), 0);
    m_writer.m_LastResult = 12345;
    EXPECT_EQ(m_writer.AddFrame(nullptr), AVIERR_BADPARAM);
    HBITMAP deviceBitmap = DeviceBitmap(64, 48);
    ASSERT_NE(deviceBitmap, nullptr);
    EXPECT_EQ(m_writer.AddFrame(deviceBitmap), AVIERR_BADPARAM);
    DeleteObject(deviceBitmap);
    EXPECT_EQ(m_writer.m_LastResult, 12345);
    EXPECT_EQ(m_writer.m_FrameCount, 1);
    m_writer.m_LastResult = 0;
    EXPECT_EQ(m_writer.Close(), 0);
    EXPECT_EQ(Probe(Path("film.avi"), "stream=nb_read_packets"), "1");
}

TEST_F(FilmWriterTest, AFrameThatCannotBeStoredFailsTheFilmAndKeepsTheEarlierOne)
{
    WriteText(Path("film.avi"), "an earlier film");
    ASSERT_TRUE(m_writer.Open(Path("film.avi"), 2));
    ASSERT_EQ(m_writer.AddFrame(m_canvas.m_Bitmap), 0);
    avifile::SetWriteFaultHookForTesting([](std::uint64_t, std::uint64_t) { return true; });
    // Small frames may wait in the file's buffer; the failure shows at a frame or at the close.
    HRESULT frame = 0;
    for (int k = 0; k < 40 && frame == 0; ++k)
        frame = m_writer.AddFrame(m_canvas.m_Bitmap);
    const std::int32_t stored = m_writer.m_FrameCount;
    if (frame != 0) {
        EXPECT_EQ(m_writer.m_LastResult, frame);
        EXPECT_EQ(m_writer.AddFrame(m_canvas.m_Bitmap), frame);
        EXPECT_EQ(m_writer.m_FrameCount, stored); // a failed write does not advance
    }
    EXPECT_NE(m_writer.Close(), 0);
    avifile::SetWriteFaultHookForTesting({});
    EXPECT_EQ(ReadAll(Path("film.avi")), "an earlier film");
    EXPECT_EQ(Files(), QStringList{"film.avi"});

    ASSERT_TRUE(m_writer.Open(Path("film.avi"), 2));
    EXPECT_EQ(m_writer.AddFrame(m_canvas.m_Bitmap), 0);
    EXPECT_EQ(m_writer.Close(), 0);
    EXPECT_EQ(Probe(Path("film.avi"), "stream=nb_read_packets"), "1");
}

TEST_F(FilmWriterTest, AFilmInAMissingFolderCannotBeOpened)
{
    EXPECT_FALSE(m_writer.Open(Path("missing/film.avi"), 2));
    EXPECT_EQ(m_writer.m_LastResult, AVIERR_FILEOPEN);
    EXPECT_EQ(m_writer.m_File, nullptr);
}

TEST_F(FilmWriterTest, AFolderNamedInBytesThatAreNotUtf8GetsItsFilmUnderItsOwnBytes)
{
    const std::filesystem::path folder = QFile::encodeName(m_folder.path()).toStdString() + "/films-\xff\xfe";
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    const std::filesystem::path film = folder / "film.avi";
    ASSERT_TRUE(m_writer.Open(LocalPath::decode(QByteArray::fromStdString(film.string())), 2));
    EXPECT_EQ(m_writer.AddFrame(m_canvas.m_Bitmap), 0);
    EXPECT_EQ(m_writer.Close(), 0);
    ASSERT_TRUE(std::filesystem::is_regular_file(film));
    std::filesystem::create_symlink(film, QFile::encodeName(Path("probed.avi")).toStdString());
    EXPECT_EQ(Probe(Path("probed.avi"), "stream=nb_read_packets"), "1");
    std::filesystem::remove_all(folder);
}

TEST_F(FilmWriterTest, TheImageHolderDescribesBottomUpCanvasesAndSharesContexts)
{
    EXPECT_TRUE(m_canvas.m_IsDibSection);
    EXPECT_EQ(m_canvas.m_Width, 64);
    EXPECT_EQ(m_canvas.m_Height, 48);
    EXPECT_EQ(m_canvas.m_BitsPerPixel, 24);
    EXPECT_EQ(m_canvas.m_Pitch, -192); // bottom-up: row 0 is the last row in memory
    DIBSECTION section{};
    ASSERT_EQ(GetObjectA(m_canvas.m_Bitmap, GDI_DIBSECTION_BYTES, &section), GDI_DIBSECTION_BYTES);
    EXPECT_EQ(m_canvas.m_Bits, static_cast<BYTE*>(section.dsBm.bmBits) + 47 * 192);

    HDC first = m_canvas.AcquireDC();
    EXPECT_EQ(m_canvas.AcquireDC(), first);
    EXPECT_EQ(m_canvas.m_DCUseCount, 2);
    m_canvas.ReleaseDC();
    EXPECT_EQ(m_canvas.m_DC, first);
    m_canvas.ReleaseDC();
    EXPECT_EQ(m_canvas.m_DC, nullptr);
    // The context went back to the cache and is handed out again.
    CDibImage other;
    ASSERT_TRUE(other.Create(8, 8, 24));
    EXPECT_EQ(other.AcquireDC(), first);
    other.ReleaseDC();

    CDibImage device;
    device.Attach(DeviceBitmap(10, 6));
    EXPECT_FALSE(device.m_IsDibSection);
    EXPECT_EQ(device.m_Width, 10);
    EXPECT_EQ(device.m_Bits, nullptr);
    EXPECT_EQ(device.m_Pitch, 0);
}

namespace {
QStringList g_filmWarnings;

void keepFilmWarning(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtWarningMsg && qstrcmp(context.category, "strevio.film") == 0)
        g_filmWarnings.append(text);
}
} // namespace

// A film that cannot be made is named in a warning with what went wrong; a good one in none.
TEST_F(FilmWriterTest, AFilmThatIsNotWrittenIsNamedInAWarning)
{
    const struct {
        const char* film;
        bool opens;
        bool failsWrites;
        const char* said; // empty: no warning
    } cases[] = {
        {"good.avi", true, false, ""},
        {"missing/film.avi", false, false, "missing/film.avi: the film cannot be created"},
        {"full.avi", true, true, "full.avi: the film was not written"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.film);
        g_filmWarnings.clear();
        const QtMessageHandler previous = qInstallMessageHandler(keepFilmWarning);
        if (m_writer.Open(Path(c.film), 2)) {
            if (c.failsWrites)
                avifile::SetWriteFaultHookForTesting([](std::uint64_t, std::uint64_t) { return true; });
            for (int k = 0; k < 40; ++k)
                m_writer.AddFrame(m_canvas.m_Bitmap);
            m_writer.Close();
            avifile::SetWriteFaultHookForTesting({});
        }
        qInstallMessageHandler(previous);
        if (!*c.said) {
            EXPECT_TRUE(g_filmWarnings.isEmpty()) << g_filmWarnings.join('\n').toStdString();
            continue;
        }
        ASSERT_EQ(g_filmWarnings.size(), 1) << g_filmWarnings.join('\n').toStdString();
        EXPECT_TRUE(g_filmWarnings.first().contains(QString::fromUtf8(c.said))) << g_filmWarnings.first().toStdString();
    }
}
