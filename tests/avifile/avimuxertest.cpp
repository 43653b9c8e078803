// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/avifile/avimuxer.h"
#include "platform/avifile/filmfile.h"

#include "probereport.h"
#include "riffchunk.h"
#include "tempfolder.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace avifile;

namespace {

AviTrack msvcTrack(DWORD rate, LONG width, LONG height)
{
    AviTrack track;
    track.info.fccType = streamtypeVIDEO;
    track.info.fccHandler = fccMSVC;
    track.info.dwScale = 1;
    track.info.dwRate = rate;
    track.info.dwSuggestedBufferSize = 1000;
    track.info.rcFrame = {0, 0, width, height};
    BITMAPINFOHEADER format{40, width, height, 1, 16, fccMSVC, DWORD(width * height * 2), 0, 0, 0, 0};
    track.format.resize(sizeof format);
    std::memcpy(track.format.data(), &format, sizeof format);
    return track;
}

std::string payload(int frame, std::size_t bytes)
{
    std::string data(bytes, '\0');
    for (std::size_t i = 0; i < bytes; ++i)
        data[i] = char(frame * 31 + i * 7);
    return data;
}

class MuxedFilm {
public:
    explicit MuxedFilm(std::string path, AviMuxerLimits limits = {}) : m_path(std::move(path)), m_muxer(m_file, limits)
    {
        EXPECT_EQ(m_file.create(m_path), AVIERR_OK);
    }
    AviMuxer& muxer() { return m_muxer; }
    HRESULT write(int frame, std::size_t bytes, bool keyFrame = true)
    {
        std::string data = payload(frame, bytes);
        return m_muxer.writeFrame(data.data(), data.size(), keyFrame);
    }
    HRESULT complete()
    {
        HRESULT result = m_muxer.finish();
        return result == AVIERR_OK ? m_file.commit() : result;
    }

private:
    std::string m_path;
    FilmFile m_file;
    AviMuxer m_muxer;
};

std::string payloadOf(const std::string& path, const RiffChunk& chunk)
{
    return readBytes(path, chunk.payloadOffset(), chunk.size);
}

} // namespace

TEST(AviMuxer, ShortFilmIsOneRiffWithLegacyIndexAndUnusedSuperIndex)
{
    TempFolder folder;
    std::string path = folder.file("short.avi");
    MuxedFilm film(path);
    EXPECT_EQ(film.write(0, 100), AVIERR_BADFORMAT) << "no track yet";
    ASSERT_EQ(film.muxer().setTrack(msvcTrack(7, 64, 48)), AVIERR_OK);
    const std::size_t sizes[] = {100, 61, 3000};
    for (int frame = 0; frame < 3; ++frame)
        ASSERT_EQ(film.write(frame, sizes[frame]), AVIERR_OK);
    EXPECT_EQ(film.muxer().setTrack(msvcTrack(7, 64, 48)), AVIERR_UNSUPPORTED);
    ASSERT_EQ(film.complete(), AVIERR_OK);

    bool complete = false;
    std::vector<RiffChunk> top = readRiffTree(path, &complete);
    ASSERT_TRUE(complete);
    ASSERT_EQ(top.size(), 1u);
    EXPECT_EQ(top[0].type, "AVI ");
    const RiffChunk* hdrl = top[0].find("hdrl");
    ASSERT_TRUE(hdrl && hdrl->find("avih") && hdrl->find("strl") && hdrl->find("odml"));
    std::string avih = payloadOf(path, *hdrl->find("avih"));
    EXPECT_EQ(le32(avih, 0), 142857u) << "dwMicroSecPerFrame";
    EXPECT_EQ(le32(avih, 16), 3u) << "dwTotalFrames";
    EXPECT_EQ(le32(avih, 24), 1u) << "dwStreams";
    EXPECT_EQ(le32(avih, 28), 3000u) << "dwSuggestedBufferSize";
    EXPECT_EQ(le32(avih, 32), 64u);
    EXPECT_EQ(le32(avih, 36), 48u);
    const RiffChunk* strl = hdrl->find("strl");
    std::string strh = payloadOf(path, *strl->find("strh"));
    EXPECT_EQ(strh.substr(0, 8), "vidsMSVC");
    EXPECT_EQ(le32(strh, 20), 1u) << "dwScale";
    EXPECT_EQ(le32(strh, 24), 7u) << "dwRate";
    EXPECT_EQ(le32(strh, 32), 3u) << "dwLength";
    EXPECT_EQ(le32(strh, 36), 3000u) << "dwSuggestedBufferSize";
    EXPECT_EQ(le16(strh, 52), 64u) << "rcFrame.right";
    EXPECT_EQ(le16(strh, 54), 48u) << "rcFrame.bottom";
    EXPECT_EQ(payloadOf(path, *strl->find("strf")).size(), 40u);
    EXPECT_TRUE(strl->find("JUNK"));
    EXPECT_FALSE(strl->find("indx"));
    EXPECT_EQ(le32(payloadOf(path, *hdrl->find("odml")->find("dmlh")), 0), 3u);

    const RiffChunk* movi = top[0].find("movi");
    std::string idx1 = payloadOf(path, *top[0].find("idx1"));
    ASSERT_TRUE(movi);
    ASSERT_EQ(idx1.size(), 3u * 16);
    for (int frame = 0; frame < 3; ++frame) {
        std::size_t entry = std::size_t(frame) * 16;
        EXPECT_EQ(idx1.substr(entry, 4), "00dc");
        EXPECT_EQ(le32(idx1, entry + 4), AVIIF_INDEX_KEYFRAME);
        EXPECT_EQ(le32(idx1, entry + 12), sizes[frame]);
        std::uint64_t chunk = movi->payloadOffset() + le32(idx1, entry + 8);
        EXPECT_EQ(readBytes(path, chunk, 4), "00dc");
        EXPECT_EQ(readBytes(path, chunk + 8, sizes[frame]), payload(frame, sizes[frame]));
    }

    ProbeReport probe(path, false);
    ASSERT_TRUE(probe.accepted()) << probe.errors();
    EXPECT_EQ(probe.errors(), "");
    EXPECT_EQ(probe.stream("codec_tag_string"), "MSVC");
    EXPECT_EQ(probe.stream("r_frame_rate"), "7/1");
    ASSERT_EQ(probe.packetCount(), 3);
    EXPECT_EQ(probe.packet(1, "size"), "61");
    EXPECT_EQ(probe.packet(2, "flags").substr(0, 1), "K");
}

TEST(AviMuxer, LongFilmContinuesInAvixSegmentsIndexedByStandardAndSuperIndexes)
{
    TempFolder folder;
    std::string path = folder.file("long.avi");
    constexpr int kFrames = 30;
    constexpr int kDeltaFrame = 17;
    {
        MuxedFilm film(path, AviMuxerLimits{10 * 1024, 16});
        ASSERT_EQ(film.muxer().setTrack(msvcTrack(25, 64, 48)), AVIERR_OK);
        for (int frame = 0; frame < kFrames; ++frame)
            ASSERT_EQ(film.write(frame, 1001, frame != kDeltaFrame), AVIERR_OK);
        ASSERT_EQ(film.complete(), AVIERR_OK);
    }
    bool complete = false;
    std::vector<RiffChunk> top = readRiffTree(path, &complete);
    ASSERT_TRUE(complete);
    ASSERT_GE(top.size(), 3u);
    EXPECT_EQ(top[0].type, "AVI ");
    const RiffChunk* hdrl = top[0].find("hdrl");
    const RiffChunk* strl = hdrl->find("strl");
    std::size_t firstRiffFrames = top[0].find("idx1")->size / 16;
    EXPECT_EQ(le32(payloadOf(path, *hdrl->find("avih")), 16), firstRiffFrames) << "avih counts the first RIFF";
    EXPECT_EQ(le32(payloadOf(path, *hdrl->find("odml")->find("dmlh")), 0), std::uint32_t(kFrames));
    EXPECT_EQ(le32(payloadOf(path, *strl->find("strh")), 32), std::uint32_t(kFrames));
    ASSERT_TRUE(strl->find("indx"));
    EXPECT_FALSE(strl->find("JUNK"));

    std::string indx = payloadOf(path, *strl->find("indx"));
    ASSERT_EQ(le32(indx, 4), top.size()) << "one super index entry per RIFF";
    int frame = 0;
    for (std::size_t riff = 0; riff < top.size(); ++riff) {
        EXPECT_EQ(top[riff].type, riff == 0 ? "AVI " : "AVIX");
        EXPECT_EQ(top[riff].find("idx1") != nullptr, riff == 0);
        EXPECT_LE(top[riff].size, 10u * 1024 + 1024);
        const RiffChunk* ix00 = top[riff].find("movi")->find("ix00");
        ASSERT_TRUE(ix00);
        std::size_t superEntry = 24 + riff * 16;
        EXPECT_EQ(le64(indx, superEntry), ix00->offset);
        EXPECT_EQ(le32(indx, superEntry + 8), ix00->size + 8);
        std::string leaf = payloadOf(path, *ix00);
        std::uint32_t entries = le32(leaf, 4);
        EXPECT_EQ(le32(indx, superEntry + 12), entries) << "dwDuration";
        for (std::uint32_t i = 0; i < entries; ++i, ++frame) {
            std::uint32_t size = le32(leaf, 24 + i * 8 + 4);
            EXPECT_EQ((size & AVI_INDEX_DELTAFRAME) != 0, frame == kDeltaFrame);
            std::uint64_t data = le64(leaf, 12) + le32(leaf, 24 + i * 8);
            EXPECT_EQ(readBytes(path, data, 1001), payload(frame, 1001)) << "frame " << frame;
        }
    }
    EXPECT_EQ(frame, kFrames);

    ProbeReport probe(path, false);
    ASSERT_TRUE(probe.accepted()) << probe.errors();
    EXPECT_EQ(probe.errors(), "");
    ASSERT_EQ(probe.packetCount(), kFrames);
    EXPECT_EQ(probe.packet(kFrames - 1, "size"), "1001");
    EXPECT_EQ(probe.packet(kDeltaFrame, "flags").substr(0, 1), "_");
    EXPECT_EQ(probe.packet(kDeltaFrame + 1, "flags").substr(0, 1), "K");
}

TEST(AviMuxer, FullSuperIndexRefusesFurtherFramesButKeepsTheFilmPlayable)
{
    TempFolder folder;
    std::string path = folder.file("full.avi");
    MuxedFilm film(path, AviMuxerLimits{4096, 2});
    ASSERT_EQ(film.muxer().setTrack(msvcTrack(25, 64, 48)), AVIERR_OK);
    int written = 0;
    HRESULT result = AVIERR_OK;
    while (written < 100 && (result = film.write(written, 1000)) == AVIERR_OK)
        ++written;
    EXPECT_EQ(result, AVIERR_BADSIZE);
    ASSERT_EQ(film.complete(), AVIERR_OK);
    EXPECT_EQ(readRiffTree(path).size(), 2u);
    ProbeReport probe(path, false);
    ASSERT_TRUE(probe.accepted()) << probe.errors();
    EXPECT_EQ(probe.errors(), "");
    EXPECT_EQ(probe.packetCount(), written);
}
