#include "platform/avifile/avifile.h"
#include "platform/avifile/filmfile.h"

#include "tempfolder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

using avifile::FilmFile;

TEST(FilmFile, CommitPutsTheWrittenBytesUnderTheTargetName)
{
    TempFolder folder;
    std::string path = folder.file("film.avi");
    writeWholeFile(path, "earlier");
    {
        FilmFile file;
        ASSERT_EQ(file.create(path), AVIERR_OK);
        ASSERT_EQ(file.writeAt(0, "later film", 10), AVIERR_OK);
        ASSERT_EQ(file.writeAt(6, "F", 1), AVIERR_OK);
        EXPECT_EQ(readWholeFile(path), "earlier");
        EXPECT_EQ(readWholeFile(file.temporaryPath()), "later Film");
        ASSERT_EQ(file.commit(), AVIERR_OK);
    }
    EXPECT_EQ(readWholeFile(path), "later Film");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"film.avi"});
}

TEST(FilmFile, FaultHookSeesOffsetsAndItsFailureIsKept)
{
    TempFolder folder;
    std::string path = folder.file("film.avi");
    FilmFile file;
    ASSERT_EQ(file.create(path), AVIERR_OK);
    std::vector<std::pair<std::uint64_t, std::uint64_t>> seen;
    avifile::SetWriteFaultHookForTesting([&](std::uint64_t offset, std::uint64_t bytes) {
        seen.emplace_back(offset, bytes);
        return offset >= 100;
    });
    EXPECT_EQ(file.writeAt(0, "abcd", 4), AVIERR_OK);
    EXPECT_EQ(file.writeAt(100, "abcd", 4), AVIERR_FILEWRITE);
    avifile::SetWriteFaultHookForTesting({});
    EXPECT_EQ(file.writeAt(4, "efgh", 4), AVIERR_FILEWRITE);
    EXPECT_EQ((std::vector<std::pair<std::uint64_t, std::uint64_t>>{{0, 4}, {100, 4}}), seen);
    EXPECT_EQ(file.commit(), AVIERR_FILEWRITE);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(folder.entries().empty());
}

TEST(FilmFile, RemovedFolderFailsTheCommit)
{
    TempFolder folder;
    std::filesystem::path inner = folder.path() / "films";
    std::filesystem::create_directory(inner);
    FilmFile file;
    ASSERT_EQ(file.create((inner / "film.avi").string()), AVIERR_OK);
    std::filesystem::remove_all(inner);
    EXPECT_EQ(file.writeAt(0, "abcd", 4), AVIERR_OK) << "the open file outlives its folder";
    EXPECT_EQ(file.commit(), AVIERR_FILEWRITE);
}

TEST(FilmFile, DestroyedWithoutCommitLeavesNothingBehind)
{
    TempFolder folder;
    {
        FilmFile file;
        ASSERT_EQ(file.create(folder.file("film.avi")), AVIERR_OK);
        ASSERT_EQ(file.writeAt(0, "abcd", 4), AVIERR_OK);
        EXPECT_EQ(folder.entries().size(), 1u);
    }
    EXPECT_TRUE(folder.entries().empty());
}

TEST(FilmFile, UnwritableFolderCannotHoldAFilm)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the superuser";
    TempFolder folder;
    ::chmod(folder.path().c_str(), 0500);
    FilmFile file;
    EXPECT_EQ(file.create(folder.file("film.avi")), AVIERR_FILEOPEN);
}
