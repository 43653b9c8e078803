// SPDX-License-Identifier: GPL-2.0-or-later
// The temporary files of films that never finished: one left by a program that was killed is
// removed by the next film of that name, and nothing else is, whatever it is named. (A film that
// another program is still writing is left alone: tests/app/filmfaults_test.cpp.)

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

// The name of the temporary file of a film of `target` begun in a process of its own, which is
// killed before it finishes.
std::string temporaryNameLeftByAKilledFilm(const std::string& target)
{
    int report[2];
    if (::pipe(report) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(report[0]);
        FilmFile film;
        if (film.create(target) == AVIERR_OK && film.writeAt(0, "RIFF", 4) == AVIERR_OK)
            (void)!::write(report[1], film.temporaryPath().data(), film.temporaryPath().size());
        ::close(report[1]);
        ::kill(::getpid(), SIGKILL);
    }
    ::close(report[1]);
    std::string path;
    char buffer[512];
    for (ssize_t got; (got = ::read(report[0], buffer, sizeof buffer)) > 0;)
        path.append(buffer, std::size_t(got));
    ::close(report[0]);
    if (child > 0)
        ::waitpid(child, nullptr, 0);
    return std::filesystem::path(path).filename().string();
}

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
        const std::string stale = temporaryNameLeftByAKilledFilm(target);
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
