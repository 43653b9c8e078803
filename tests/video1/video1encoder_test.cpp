// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/video1/video1decoder.h"
#include "platform/video1/video1encoder.h"
#include "platform/workers/workertasks.h"
#include "rgb555rounding.h"
#include "testpicture.h"

#include <gtest/gtest.h>

#include <random>

using video1::EncoderOptions;
using video1::Video1Decoder;
using video1::Video1Encoder;

namespace {

std::vector<std::uint8_t> encode(const TestPicture& picture, EncoderOptions options = {})
{
    Video1Encoder encoder(picture.width(), picture.height(), options);
    std::vector<std::uint8_t> frame;
    EXPECT_TRUE(encoder.encodeBgr24(picture.bgr().data(), picture.width() * 3, false, frame));
    return frame;
}

std::vector<std::uint8_t> decode(const TestPicture& picture, const std::vector<std::uint8_t>& frame)
{
    Video1Decoder decoder(picture.width(), picture.height());
    EXPECT_TRUE(decoder.decode(frame.data(), frame.size()));
    EXPECT_TRUE(decoder.lastFrameWasKey());
    return decoder.toBgr24();
}

// Each 4x4 block a flat colour of its own, running every 8-bit value through each channel.
TestPicture flatBlocks()
{
    TestPicture picture(64, 64);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const int k = (y / 4) * 16 + x / 4;
            std::uint8_t* p = picture.pixel(x, y);
            p[0] = std::uint8_t(255 - k);
            p[1] = std::uint8_t(k * 37);
            p[2] = std::uint8_t(k);
        }
    }
    return picture;
}

} // namespace

TEST(Video1Encoder, FlatBlocksDecodeToTheRgb555RoundingOfTheirColour)
{
    const TestPicture picture = flatBlocks();
    const std::vector<std::uint8_t> frame = encode(picture);
    const std::vector<std::uint8_t> decoded = decode(picture, frame);
    ASSERT_EQ(decoded.size(), picture.bgr().size());
    for (std::size_t i = 0; i < decoded.size(); ++i)
        ASSERT_EQ(decoded[i], throughRgb555(picture.bgr()[i])) << "at byte " << i;

    // One word per block, except where a red of 1 would read as a skip code: a two-colour block.
    std::size_t expectedBytes = 2;
    for (int k = 0; k < 256; ++k)
        expectedBytes += throughRgb555(k) == 8 ? 6 : 2;
    EXPECT_EQ(frame.size(), expectedBytes);
}

TEST(Video1Encoder, BlackFrameCostsOneWordPerBlock)
{
    const std::vector<std::uint8_t> frame = encode(TestPicture::flat(64, 32, 0, 0, 0));
    EXPECT_EQ(frame.size(), 128u * 2 + 2);
}

TEST(Video1Encoder, PhotoLikeContentLooksLikeItsPicture)
{
    const TestPicture picture = TestPicture::photoLike(128, 96, 7);
    const std::vector<std::uint8_t> standard = encode(picture);
    const std::vector<std::uint8_t> best = encode(picture, {video1::kMaxQuality, 1});
    const std::vector<std::uint8_t> worst = encode(picture, {video1::kMinQuality, 1});
    const double standardPsnr = picture.psnr(decode(picture, standard));
    const double bestPsnr = picture.psnr(decode(picture, best));
    const double worstPsnr = picture.psnr(decode(picture, worst));
    EXPECT_GE(standardPsnr, 35.0);
    EXPECT_GE(bestPsnr, standardPsnr);
    EXPECT_GT(standardPsnr, worstPsnr);
    EXPECT_GE(worstPsnr, 25.0);
    EXPECT_LT(worst.size(), standard.size());
    EXPECT_LE(standard.size(), best.size());
}

TEST(Video1Encoder, FramesGrowWithQuality)
{
    // The benchmarks find the quality for a given size by bisection, which needs this order.
    const TestPicture picture = TestPicture::photoLike(64, 64, 2);
    std::size_t previous = 0;
    for (int quality = video1::kMinQuality; quality <= video1::kMaxQuality; quality += 500) {
        const std::size_t bytes = encode(picture, {quality, 1}).size();
        EXPECT_GE(bytes, previous) << "quality " << quality;
        previous = bytes;
    }
    EXPECT_EQ(encode(picture, {video1::kMinQuality, 1}).size(), 16u * 16 * 2 + 2);
}

TEST(Video1Encoder, DarkRedsNeverTurnIntoSkipCodes)
{
    TestPicture picture(64, 64);
    std::mt19937 random(3);
    std::uniform_int_distribution<int> red(6, 13), other(0, 40);
    for (std::size_t i = 0; i < picture.bgr().size() / 3; ++i) {
        std::uint8_t* p = picture.pixel(int(i % 64), int(i / 64));
        p[0] = std::uint8_t(other(random) / 8);
        p[1] = std::uint8_t(other(random) / 8);
        p[2] = std::uint8_t(red(random));
    }
    for (int quality : {video1::kMinQuality, video1::kDefaultQuality, video1::kMaxQuality}) {
        const std::vector<std::uint8_t> decoded = decode(picture, encode(picture, {quality, 1}));
        EXPECT_GE(picture.psnr(decoded), 33.0) << "quality " << quality;
    }
}

TEST(Video1Encoder, RefusesSizesThatAreNotPositiveMultiplesOfFour)
{
    const std::vector<std::uint8_t> pixels(64 * 64 * 3);
    for (auto [width, height] : {std::pair{0, 4}, {4, 0}, {-4, 4}, {4, -8}, {6, 4}, {4, 10}, {2, 2}}) {
        Video1Encoder encoder(width, height);
        EXPECT_FALSE(encoder.valid()) << width << "x" << height;
        std::vector<std::uint8_t> frame(10);
        EXPECT_FALSE(encoder.encodeBgr24(pixels.data(), 64 * 3, true, frame));
        EXPECT_TRUE(frame.empty());
    }
    EXPECT_TRUE(Video1Encoder(4, 4).valid());
}

TEST(Video1Encoder, RefusesMissingPixelsAndRowsShorterThanTheWidth)
{
    const std::vector<std::uint8_t> pixels(16 * 16 * 3);
    Video1Encoder encoder(16, 16);
    std::vector<std::uint8_t> frame;
    EXPECT_FALSE(encoder.encodeBgr24(nullptr, 16 * 3, true, frame));
    EXPECT_FALSE(encoder.encodeBgr24(pixels.data(), 16 * 3 - 1, true, frame));
    EXPECT_TRUE(frame.empty());
    EXPECT_TRUE(encoder.encodeBgr24(pixels.data(), 16 * 3, true, frame));
}

TEST(Video1Encoder, RowOrderAndPaddingDoNotChangeTheFrame)
{
    const TestPicture picture = TestPicture::photoLike(36, 20, 11);
    const std::vector<std::uint8_t> topDown = encode(picture);
    Video1Encoder encoder(36, 20);
    for (int padding : {0, 1, 7}) {
        const std::vector<std::uint8_t> rows = picture.bottomUpRows(padding);
        const std::ptrdiff_t stride = 36 * 3 + padding;
        std::vector<std::uint8_t> frame;
        ASSERT_TRUE(encoder.encodeBgr24(rows.data(), stride, true, frame));
        EXPECT_EQ(frame, topDown) << "bottom-up, padding " << padding;
        // The same rows read top-down from the last one, with a negative stride.
        ASSERT_TRUE(encoder.encodeBgr24(rows.data() + stride * 19, -stride, false, frame));
        EXPECT_EQ(frame, topDown) << "negative stride, padding " << padding;
    }
}

namespace {
int g_partsDone = 0;
} // namespace

// The calling thread takes bands too, and answers its hook after each of them (the window thread
// processes its events there); helpers call nothing.
TEST(Video1Encoder, ThreadsShareTheFrameWithoutChangingIt)
{
    const TestPicture picture = TestPicture::photoLike(64, 256, 5);
    WorkerTasks::setBetweenParts([] { ++g_partsDone; });
    const std::vector<std::uint8_t> single = encode(picture, {video1::kDefaultQuality, 1});
    EXPECT_EQ(g_partsDone, 256 / 4 / 8) << "one call a band, all of them the caller's";
    for (const int threads : {3, 8}) {
        g_partsDone = 0;
        EXPECT_EQ(encode(picture, {video1::kDefaultQuality, threads}), single) << threads;
        EXPECT_LE(g_partsDone, 256 / 4 / 8) << threads; // helpers may have taken every band
    }
    WorkerTasks::setBetweenParts(nullptr);
}
