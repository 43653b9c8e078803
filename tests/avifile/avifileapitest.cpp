// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/avifile/avifile.h"

#include "filmsession.h"
#include "probereport.h"
#include "riffchunk.h"
#include "tempfolder.h"
#include "testpictures.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

std::string chunkPayload(const std::string& path, const RiffChunk* chunk)
{
    return chunk ? readBytes(path, chunk->payloadOffset(), chunk->size) : std::string();
}

} // namespace

TEST(AviFileService, FilmOfCanvasFramesIsReadBackByFfmpegAsMsvcKeyFrames)
{
    TempFolder folder;
    std::string path = folder.file("film.avi");
    constexpr int kSide = 2000;
    const Colour colours[][2] = {{{0, 0, 255}, {255, 255, 255}}, {{0, 200, 0}, {0, 0, 0}}, {{200, 16, 8}, {40, 90, 160}}};
    std::vector<std::vector<BYTE>> pictures;
    AVIFileInit();
    {
        FilmSession film;
        ASSERT_EQ(film.open(path), AVIERR_OK);
        ASSERT_EQ(film.start(kSide, kSide, 7), AVIERR_OK);
        for (const auto& pair : colours) {
            pictures.push_back(halvesPicture(kSide, kSide, pair[0], pair[1], true));
            ASSERT_EQ(film.add(pictures.back()), AVIERR_OK);
        }
    }
    AVIFileExit();
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"film.avi"});

    ProbeReport probe(path);
    ASSERT_TRUE(probe.accepted()) << probe.errors();
    EXPECT_EQ(probe.errors(), "");
    EXPECT_EQ(probe.stream("codec_type"), "video");
    EXPECT_EQ(probe.stream("codec_tag_string"), "MSVC");
    EXPECT_EQ(probe.stream("width"), "2000");
    EXPECT_EQ(probe.stream("height"), "2000");
    EXPECT_EQ(probe.stream("r_frame_rate"), "7/1");
    EXPECT_EQ(probe.stream("nb_read_frames"), "3");
    ASSERT_EQ(probe.packetCount(), 3);
    for (int packet = 0; packet < 3; ++packet)
        EXPECT_EQ(probe.packet(packet, "flags").substr(0, 1), "K") << "packet " << packet;

    std::vector<std::vector<std::uint8_t>> decoded = decodeBgr24(path, kSide, kSide);
    ASSERT_EQ(decoded.size(), 3u);
    for (std::size_t frame = 0; frame < 3; ++frame)
        EXPECT_TRUE(matchesRgb555(decoded[frame], pictures[frame], kSide, kSide, true)) << "frame " << frame;

    const std::vector<RiffChunk> top = readRiffTree(path);
    const RiffChunk* strl = top.at(0).find("hdrl")->find("strl");
    std::string strh = chunkPayload(path, strl->find("strh"));
    std::string strf = chunkPayload(path, strl->find("strf"));
    ASSERT_EQ(strh.size(), 56u);
    EXPECT_EQ(strh.substr(0, 8), "vidsMSVC");
    EXPECT_GE(le32(strh, 36), 12000000u) << "dwSuggestedBufferSize";
    EXPECT_EQ(le32(strh, 40), 0xFFFFFFFFu) << "dwQuality: the codec's default";
    ASSERT_EQ(strf.size(), 40u);
    EXPECT_EQ(le32(strf, 8), 2000u) << "biHeight";
    EXPECT_EQ(le16(strf, 14), 16u) << "biBitCount";
    EXPECT_EQ(strf.substr(16, 4), "MSVC");
    EXPECT_EQ(le32(strf, 20), 8000000u) << "biSizeImage";
}

TEST(AviFileService, TopDownAndBottomUpPicturesKeepTheirOrientation)
{
    TempFolder folder;
    const Colour red{0, 0, 255}, blue{255, 0, 0};
    for (bool bottomUp : {true, false}) {
        std::string path = folder.file(bottomUp ? "up.avi" : "down.avi");
        std::vector<BYTE> picture = halvesPicture(64, 32, red, blue, bottomUp);
        {
            FilmSession film;
            ASSERT_EQ(film.open(path), AVIERR_OK);
            ASSERT_EQ(film.start(64, bottomUp ? 32 : -32, 25), AVIERR_OK);
            ASSERT_EQ(film.add(picture), AVIERR_OK);
        }
        std::vector<std::vector<std::uint8_t>> decoded = decodeBgr24(path, 64, 32);
        ASSERT_EQ(decoded.size(), 1u);
        EXPECT_EQ(decoded[0][2], 255) << "the top row is red";
        EXPECT_TRUE(matchesRgb555(decoded[0], picture, 64, 32, bottomUp));
    }
}

TEST(AviFileService, OpenThenReleaseWithoutStreamGivesAnAviFfprobeAccepts)
{
    TempFolder folder;
    std::string path = folder.file("empty.avi");
    PAVIFILE file = nullptr;
    ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), OF_WRITE | OF_CREATE, nullptr), AVIERR_OK);
    EXPECT_EQ(AVIFileRelease(file), 0u);
    const std::vector<RiffChunk> top = readRiffTree(path);
    ASSERT_EQ(top.size(), 1u);
    EXPECT_EQ(le32(chunkPayload(path, top[0].find("hdrl")->find("avih")), 24), 0u) << "dwStreams";
    EXPECT_TRUE(top[0].find("movi") && top[0].find("idx1"));
    ProbeReport probe(path);
    EXPECT_TRUE(probe.accepted()) << probe.errors();
    EXPECT_EQ(probe.errors(), "");
    EXPECT_EQ(probe.streamCount(), 0);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"empty.avi"});
}

TEST(AviFileService, RefusesWhatItCannotWriteAndStaysUsable)
{
    TempFolder folder;
    PAVIFILE missing = reinterpret_cast<PAVIFILE>(1);
    EXPECT_EQ(AVIFileOpenA(&missing, folder.file("no/such/folder.avi").c_str(), OF_WRITE | OF_CREATE, nullptr),
              AVIERR_FILEOPEN);
    EXPECT_EQ(missing, nullptr);
    EXPECT_EQ(AVIFileOpenA(&missing, folder.path().c_str(), OF_WRITE | OF_CREATE, nullptr), AVIERR_FILEOPEN);
    EXPECT_EQ(AVIFileOpenA(nullptr, "x.avi", OF_WRITE | OF_CREATE, nullptr), AVIERR_BADPARAM);

    std::string path = folder.file("film.avi");
    FilmSession film;
    ASSERT_EQ(film.open(path), AVIERR_OK);
    AVISTREAMINFOA info{streamtypeVIDEO};
    info.dwScale = info.dwRate = 1;
    ASSERT_EQ(AVIFileCreateStreamA(film.file, &film.video, &info), AVIERR_OK);
    PAVISTREAM second = nullptr;
    EXPECT_EQ(AVIFileCreateStreamA(film.file, &second, &info), AVIERR_UNSUPPORTED);
    AVICOMPRESSOPTIONS unknown{0, MakeFourCC('c', 'v', 'i', 'd')};
    EXPECT_EQ(AVIMakeCompressedStream(&film.compressed, film.video, &unknown, nullptr), AVIERR_NOCOMPRESSOR);
    AVICOMPRESSOPTIONS msvc{0, kMsvcHandler, 0, 7500, 0, AVICOMPRESSF_VALID};
    ASSERT_EQ(AVIMakeCompressedStream(&film.compressed, film.video, &msvc, nullptr), AVIERR_OK);

    BITMAPINFOHEADER notMultipleOf4 = rgb24Format(66, 32);
    BITMAPINFOHEADER thirtyTwoBits = rgb24Format(64, 32);
    thirtyTwoBits.biBitCount = 32;
    EXPECT_EQ(AVIStreamSetFormat(film.compressed, 0, &notMultipleOf4, 40), AVIERR_BADFORMAT);
    EXPECT_EQ(AVIStreamSetFormat(film.compressed, 0, &thirtyTwoBits, 40), AVIERR_BADFORMAT);
    EXPECT_EQ(AVIStreamSetFormat(film.compressed, 0, &notMultipleOf4, 20), AVIERR_BADFORMAT);
    std::vector<BYTE> picture = noisePicture(64, 32, 1);
    EXPECT_EQ(AVIStreamWrite(film.compressed, 0, 1, picture.data(), LONG(picture.size()), 0, nullptr, nullptr),
              AVIERR_BADFORMAT)
        << "no format yet";
    BITMAPINFOHEADER format = rgb24Format(64, 32);
    ASSERT_EQ(AVIStreamSetFormat(film.compressed, 0, &format, 40), AVIERR_OK);
    EXPECT_EQ(AVIStreamWrite(film.compressed, 1, 1, picture.data(), LONG(picture.size()), 0, nullptr, nullptr),
              AVIERR_BADPARAM)
        << "not at the end of the stream";
    EXPECT_EQ(AVIStreamWrite(film.compressed, 0, 1, picture.data(), LONG(picture.size()) - 1, 0, nullptr, nullptr),
              AVIERR_BADSIZE);
    EXPECT_EQ(AVIStreamWrite(film.compressed, 0, 1, nullptr, LONG(picture.size()), 0, nullptr, nullptr),
              AVIERR_BADPARAM);
    LONG samples = 0, bytes = 0;
    ASSERT_EQ(AVIStreamWrite(film.compressed, 0, 1, picture.data(), LONG(picture.size()), 0, &samples, &bytes),
              AVIERR_OK);
    EXPECT_EQ(samples, 1);
    EXPECT_GT(bytes, 0);
    EXPECT_EQ(AVIStreamSetFormat(film.compressed, 0, &format, 40), AVIERR_UNSUPPORTED) << "frames were written";
    ASSERT_EQ(AVIFileFinish(film.file), AVIERR_OK);

    ProbeReport probe(path);
    ASSERT_TRUE(probe.accepted()) << probe.errors();
    EXPECT_EQ(probe.stream("nb_read_frames"), "1");
    const std::vector<RiffChunk> top = readRiffTree(path);
    std::string strh = chunkPayload(path, top.at(0).find("hdrl")->find("strl")->find("strh"));
    EXPECT_EQ(le32(strh, 40), 7500u) << "dwQuality chosen by the caller";
}

TEST(AviFileService, FilmTakesTheTargetNameOnlyWhenItsLastReferenceGoes)
{
    TempFolder folder;
    std::string path = folder.file("film.avi");
    writeWholeFile(path, "earlier film");
    FilmSession film;
    ASSERT_EQ(film.open(path), AVIERR_OK);
    ASSERT_EQ(film.start(64, 32, 25), AVIERR_OK);
    std::vector<BYTE> picture = noisePicture(64, 32, 2);
    ASSERT_EQ(film.add(picture), AVIERR_OK);
    EXPECT_EQ(folder.entries().size(), 2u) << "the film is written beside the target";
    EXPECT_EQ(folder.entries().front().front(), '.') << "under a hidden name";

    EXPECT_EQ(AVIFileRelease(film.file), 1u) << "the stream still holds the file";
    film.file = nullptr;
    EXPECT_EQ(readWholeFile(path), "earlier film");
    AVIStreamRelease(film.video);
    film.video = nullptr;
    EXPECT_EQ(readWholeFile(path), "earlier film");
    AVIStreamRelease(film.compressed);
    film.compressed = nullptr;
    EXPECT_EQ(readWholeFile(path).substr(0, 4), "RIFF");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"film.avi"});
}

TEST(AviFileService, FailedWriteKeepsTheEarlierFilmAndLeavesNoTemporaryFile)
{
    TempFolder folder;
    std::string path = folder.file("film.avi");
    const std::string earlier = "earlier film \x01\x02\x03";
    writeWholeFile(path, earlier);
    FilmSession film;
    ASSERT_EQ(film.open(path), AVIERR_OK);
    ASSERT_EQ(film.start(512, 512, 25), AVIERR_OK);
    std::vector<BYTE> picture = noisePicture(512, 512, 3);
    ASSERT_EQ(film.add(picture), AVIERR_OK);

    avifile::SetWriteFaultHookForTesting([](std::uint64_t, std::uint64_t) { return true; });
    EXPECT_EQ(film.add(picture), AVIERR_FILEWRITE);
    avifile::SetWriteFaultHookForTesting({});
    EXPECT_EQ(film.add(picture), AVIERR_FILEWRITE) << "the first failure is kept";
    EXPECT_EQ(film.frames, 1);

    EXPECT_EQ(AVIFileFinish(film.file), AVIERR_FILEWRITE);
    EXPECT_EQ(AVIFileFinish(film.file), AVIERR_FILEWRITE);
    EXPECT_EQ(readWholeFile(path), earlier);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"film.avi"});
    film.release();
    EXPECT_EQ(readWholeFile(path), earlier);
}

TEST(AviFileService, FilmWhoseFolderWasRemovedCannotBeFinished)
{
    TempFolder folder;
    std::filesystem::path films = folder.path() / "films";
    std::filesystem::create_directory(films);
    FilmSession film;
    ASSERT_EQ(film.open((films / "film.avi").string()), AVIERR_OK);
    ASSERT_EQ(film.start(64, 32, 25), AVIERR_OK);
    std::filesystem::remove_all(films);
    std::vector<BYTE> picture = noisePicture(64, 32, 6);
    EXPECT_EQ(film.add(picture), AVIERR_OK) << "the open file outlives its folder";
    EXPECT_EQ(AVIFileFinish(film.file), AVIERR_FILEWRITE);
}

TEST(AviFileService, DiscardedFilmLeavesTheEarlierFileAlone)
{
    TempFolder folder;
    std::string path = folder.file("film.avi");
    writeWholeFile(path, "earlier film");
    FilmSession film;
    ASSERT_EQ(film.open(path), AVIERR_OK);
    ASSERT_EQ(film.start(64, 32, 25), AVIERR_OK);
    std::vector<BYTE> picture = noisePicture(64, 32, 4);
    ASSERT_EQ(film.add(picture), AVIERR_OK);
    EXPECT_EQ(AVIFileDiscard(film.file), AVIERR_OK);
    EXPECT_NE(film.add(picture), AVIERR_OK);
    film.release();
    EXPECT_EQ(readWholeFile(path), "earlier film");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"film.avi"});
}
