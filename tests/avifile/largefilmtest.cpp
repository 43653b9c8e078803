// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/avifile/avifile.h"
#include "platform/video1/video1encoder.h"

#include "filmsession.h"
#include "probereport.h"
#include "riffchunk.h"
#include "tempfolder.h"
#include "testpictures.h"

#include <gtest/gtest.h>

// Noise defeats Video 1's one- and two-colour blocks, so each frame is large. Encoding a
// gigabyte of noise would take minutes, so the noise is encoded once and its key frame is
// appended through the film's own stream; the last frame goes through the compressing stream.
TEST(AviFileServiceLarge, FilmPastOneGibibyteContinuesInAvixSegmentsAndPlaysToTheEnd)
{
    constexpr int kSide = 1024;
    constexpr DWORD kRate = 25;
    constexpr std::int64_t kTarget = (1ll << 30) + (32ll << 20);
    TempFolder folder;
    std::string path = folder.file("long.avi");
    std::vector<BYTE> noise = noisePicture(kSide, kSide, 5);
    std::vector<std::uint8_t> encodedNoise;
    video1::Video1Encoder encoder(kSide, kSide);
    ASSERT_TRUE(encoder.encodeBgr24(noise.data(), DibRowStride(kSide, 24), true, encodedNoise));
    std::vector<BYTE> last = halvesPicture(kSide, kSide, {10, 200, 30}, {250, 120, 0}, true);
    LONG frames = 0;
    {
        FilmSession film;
        ASSERT_EQ(film.open(path), AVIERR_OK);
        ASSERT_EQ(film.start(kSide, kSide, kRate), AVIERR_OK);
        for (std::int64_t total = 0; total < kTarget; total += std::int64_t(encodedNoise.size()), ++film.frames)
            ASSERT_EQ(AVIStreamWrite(film.video, film.frames, 1, encodedNoise.data(), LONG(encodedNoise.size()),
                                     AVIIF_KEYFRAME, nullptr, nullptr),
                      AVIERR_OK);
        ASSERT_EQ(film.add(last), AVIERR_OK);
        ASSERT_EQ(AVIFileFinish(film.file), AVIERR_OK);
        frames = film.frames;
    }
    const std::vector<RiffChunk> top = readRiffTree(path);
    ASSERT_GE(top.size(), 2u);
    EXPECT_EQ(top[1].type, "AVIX");
    const RiffChunk* strl = top[0].find("hdrl")->find("strl");
    ASSERT_TRUE(strl->find("indx"));
    std::string strh = readBytes(path, strl->find("strh")->payloadOffset(), 56);
    EXPECT_EQ(le32(strh, 32), DWORD(frames)) << "dwLength";

    ProbeReport probe(path);
    ASSERT_TRUE(probe.accepted()) << probe.errors();
    EXPECT_EQ(probe.errors(), "");
    EXPECT_EQ(probe.stream("nb_read_frames"), std::to_string(frames));
    EXPECT_EQ(probe.packetCount(), frames);
    EXPECT_EQ(probe.packet(frames - 1, "flags").substr(0, 1), "K");

    double lastFrameTime = (frames - 1.25) / kRate;
    std::vector<std::vector<std::uint8_t>> decoded = decodeBgr24(path, kSide, kSide, lastFrameTime);
    ASSERT_EQ(decoded.size(), 1u);
    EXPECT_TRUE(matchesRgb555(decoded[0], last, kSide, kSide, true));
}
