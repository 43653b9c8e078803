// SPDX-License-Identifier: GPL-2.0-or-later
// Our frames through FFmpeg's own Microsoft Video 1 decoder must give exactly what our decoder
// gives, and both must stay close to the pictures.

#include "aviclipwriter.h"
#include "platform/video1/video1decoder.h"
#include "platform/video1/video1encoder.h"
#include "rgb555rounding.h"
#include "testpicture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;

std::vector<TestPicture> clipPictures()
{
    std::vector<TestPicture> pictures;
    pictures.push_back(TestPicture::photoLike(kWidth, kHeight, 1));
    pictures.push_back(TestPicture::flat(kWidth, kHeight, 200, 100, 9)); // red rounds to 1
    TestPicture ramp(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            for (int c = 0; c < 3; ++c)
                ramp.pixel(x, y)[c] = std::uint8_t((x * 4 + y * (c + 1)) & 0xFF);
    pictures.push_back(ramp);
    return pictures;
}

std::vector<std::uint8_t> readFile(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

} // namespace

TEST(Video1FfmpegRoundTrip, FfmpegDecodesOurFramesAsWeDo)
{
    if (std::system("command -v ffmpeg >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "ffmpeg is not installed";
    const fs::path folder = fs::temp_directory_path() / ("video1-roundtrip-" + std::to_string(getpid()));
    fs::create_directories(folder);

    const std::vector<TestPicture> pictures = clipPictures();
    video1::Video1Encoder encoder(kWidth, kHeight);
    video1::Video1Decoder decoder(kWidth, kHeight);
    AviClipWriter clip(kWidth, kHeight);
    std::vector<std::vector<std::uint8_t>> ours;
    for (const TestPicture& picture : pictures) {
        std::vector<std::uint8_t> frame;
        ASSERT_TRUE(encoder.encodeBgr24(picture.bgr().data(), kWidth * 3, false, frame));
        clip.addFrame(frame);
        ASSERT_TRUE(decoder.decode(frame.data(), frame.size()));
        ours.push_back(decoder.toBgr24());
    }
    ASSERT_TRUE(clip.save((folder / "clip.avi").string()));

    const std::string command = "ffmpeg -nostdin -v error -y -i '" + (folder / "clip.avi").string() +
                                "' -f rawvideo -pix_fmt bgr24 '" + (folder / "clip.bgr").string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::vector<std::uint8_t> theirs = readFile(folder / "clip.bgr");
    fs::remove_all(folder);

    const std::size_t frameBytes = std::size_t(kWidth) * kHeight * 3;
    ASSERT_EQ(theirs.size(), frameBytes * pictures.size());
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const std::vector<std::uint8_t> theirFrame(theirs.begin() + std::ptrdiff_t(i * frameBytes),
                                                   theirs.begin() + std::ptrdiff_t((i + 1) * frameBytes));
        EXPECT_EQ(theirFrame, ours[i]) << "frame " << i;
        EXPECT_GE(pictures[i].psnr(theirFrame), 30.0) << "frame " << i;
    }
    EXPECT_EQ(int(ours[1][2]), throughRgb555(9));
}
