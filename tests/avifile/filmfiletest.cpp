// The temporary files of films that never finished: one left by a program that was killed is
// removed by the next film of that name; one that another program is still writing is not, and
// nothing else is, whatever it is named.

#include "platform/avifile/avifile.h"
#include "platform/avifile/filmfile.h"

#include "tempfolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using avifile::FilmFile;

namespace {

constexpr std::size_t kSuffixAndEnd = 16 + 4; // "<16 hex digits>.tmp"

// A film of `target` begun in a process of its own, which is killed before it finishes; with
// `keepWriting` it goes on writing until kill().
class FilmInAnotherProcess {
public:
    FilmInAnotherProcess(const std::string& target, bool keepWriting)
    {
        int report[2];
        int release[2];
        if (::pipe(report) != 0 || ::pipe(release) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(report[0]);
            ::close(release[1]);
            FilmFile film;
            if (film.create(target) == AVIERR_OK && film.writeAt(0, "RIFF", 4) == AVIERR_OK)
                (void)!::write(report[1], film.temporaryPath().data(), film.temporaryPath().size());
            ::close(report[1]);
            char byte;
            if (keepWriting)
                (void)!::read(release[0], &byte, 1);
            ::kill(::getpid(), SIGKILL);
        }
        ::close(report[1]);
        ::close(release[0]);
        m_release = release[1];
        char buffer[512];
        for (ssize_t got; (got = ::read(report[0], buffer, sizeof buffer)) > 0;)
            m_temporaryPath.append(buffer, std::size_t(got));
        ::close(report[0]);
    }
    ~FilmInAnotherProcess() { kill(); }

    const std::string& temporaryPath() const { return m_temporaryPath; }
    std::string temporaryName() const { return std::filesystem::path(m_temporaryPath).filename().string(); }
    void kill()
    {
        if (m_release >= 0)
            ::close(m_release);
        m_release = -1;
        if (m_pid > 0)
            ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

private:
    pid_t m_pid = -1;
    int m_release = -1;
    std::string m_temporaryPath;
};

std::string repeated(const std::string& piece, std::size_t times)
{
    std::string text;
    for (std::size_t i = 0; i < times; ++i)
        text += piece;
    return text;
}

// Things named almost or exactly like a film's temporary file that are not one of its own.
std::vector<std::string> plantLookAlikes(const TempFolder& folder, const std::string& prefix)
{
    const std::vector<std::string> files = {prefix + "0123456789ABCDEF.tmp", prefix + "0123456789abcde.tmp",
                                            prefix + "0123456789abcdef.tmq", ".other.avi.0123456789abcdef.tmp",
                                            "linked-to"};
    for (const std::string& name : files)
        writeWholeFile(folder.file(name), "not a film of ours");
    std::filesystem::create_symlink("linked-to", folder.path() / (prefix + "aaaaaaaaaaaaaaaa.tmp"));
    std::filesystem::create_directory(folder.path() / (prefix + "bbbbbbbbbbbbbbbb.tmp"));
    EXPECT_EQ(::mkfifo(folder.file(prefix + "cccccccccccccccc.tmp").c_str(), 0600), 0);
    std::vector<std::string> planted = files;
    for (const char* digits : {"aaaaaaaaaaaaaaaa", "bbbbbbbbbbbbbbbb", "cccccccccccccccc"})
        planted.push_back(prefix + digits + ".tmp");
    return planted;
}

std::vector<std::string> sorted(std::vector<std::string> names)
{
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(FilmTemporaryFile, OneLeftByAKilledProgramIsRemovedByTheNextFilmOfItsNameAndNothingElse)
{
    // A short name, and names of 233 and 255 bytes whose temporary names are cut, one of them
    // in two-byte characters.
    const std::string names[] = {"film.avi", repeated("f", 229) + ".avi", repeated("\xC3\xA9", 125) + "x.avi"};
    for (const std::string& name : names) {
        SCOPED_TRACE(name.size());
        TempFolder folder;
        const std::string target = folder.file(name);
        writeWholeFile(target, "earlier film");
        std::string stale;
        {
            FilmInAnotherProcess killed(target, false);
            stale = killed.temporaryName();
        }
        ASSERT_FALSE(stale.empty());
        EXPECT_LE(stale.size(), 255u);
        const std::string prefix = stale.substr(0, stale.size() - kSuffixAndEnd);
        EXPECT_EQ(prefix.front(), '.');
        EXPECT_EQ(name.compare(0, prefix.size() - 2, prefix, 1, prefix.size() - 2), 0) << "the film name begins it";
        std::vector<std::string> kept = plantLookAlikes(folder, prefix);
        kept.push_back(name);
        ASSERT_EQ(folder.entries().size(), kept.size() + 1);

        FilmFile next;
        ASSERT_EQ(next.create(target), AVIERR_OK);
        // (The child drew its name from a copy of our random state: the new file may take it again.)
        EXPECT_NE(readWholeFile(folder.file(stale)), "RIFF") << "the stale file is gone";
        kept.push_back(std::filesystem::path(next.temporaryPath()).filename().string());
        EXPECT_EQ(folder.entries(), sorted(kept));
        EXPECT_EQ(readWholeFile(target), "earlier film");
        EXPECT_EQ(readWholeFile(folder.file("linked-to")), "not a film of ours");
        next.discard();
    }
}

TEST(FilmTemporaryFile, OneAnotherProgramIsWritingIsLeftAloneUntilThatProgramIsKilled)
{
    TempFolder folder;
    const std::string target = folder.file("film.avi");
    FilmInAnotherProcess writing(target, true);
    ASSERT_FALSE(writing.temporaryPath().empty());

    FilmFile ours;
    ASSERT_EQ(ours.create(target), AVIERR_OK);
    ASSERT_EQ(ours.writeAt(0, "ours", 4), AVIERR_OK);
    ASSERT_EQ(ours.commit(), AVIERR_OK);
    EXPECT_EQ(readWholeFile(writing.temporaryPath()), "RIFF");
    EXPECT_EQ(folder.entries(), sorted({"film.avi", writing.temporaryName()}));

    writing.kill();
    FilmFile next;
    ASSERT_EQ(next.create(target), AVIERR_OK);
    EXPECT_NE(readWholeFile(writing.temporaryPath()), "RIFF") << "the stale file is gone";
    next.discard();
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"film.avi"});
    EXPECT_EQ(readWholeFile(target), "ours");
}
