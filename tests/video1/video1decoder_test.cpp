// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/video1/video1decoder.h"
#include "platform/video1/video1encoder.h"
#include "testpicture.h"

#include <gtest/gtest.h>

#include <random>

using video1::Video1Decoder;

namespace {

std::vector<std::uint8_t> words(std::initializer_list<std::uint16_t> values)
{
    std::vector<std::uint8_t> bytes;
    for (std::uint16_t v : values) {
        bytes.push_back(std::uint8_t(v));
        bytes.push_back(std::uint8_t(v >> 8));
    }
    return bytes;
}

bool decode(Video1Decoder& decoder, const std::vector<std::uint8_t>& bytes)
{
    return decoder.decode(bytes.data(), bytes.size());
}

} // namespace

TEST(Video1Decoder, ReadsEachBlockKindInBitstreamOrder)
{
    // 8x4: the left block two-colour (A = red where the flag is set), the right block eight-colour.
    Video1Decoder decoder(8, 4);
    const std::uint16_t red = 0x7C00, green = 0x03E0, blue = 0x001F, white = 0x7FFF;
    ASSERT_TRUE(decode(decoder, words({0x0001, red, blue,
                                       0x0000, 0x8000 | red, green, blue, white, 1, 2, 3, 4})));
    const std::vector<std::uint16_t>& pixels = decoder.rgb555();
    EXPECT_EQ(pixels[3 * 8 + 0], red);   // flag bit 0: bottom-left pixel
    EXPECT_EQ(pixels[3 * 8 + 1], blue);
    EXPECT_EQ(pixels[0 * 8 + 3], blue);  // top-right pixel
    EXPECT_EQ(pixels[3 * 8 + 4], green); // bottom-left quadrant, flag clear: its colour B
    EXPECT_EQ(pixels[3 * 8 + 6], white); // bottom-right quadrant, colour B
    EXPECT_EQ(pixels[0 * 8 + 4], 2);     // top-left quadrant, colour B
    EXPECT_EQ(pixels[0 * 8 + 7], 4);     // top-right quadrant, colour B
    EXPECT_TRUE(decoder.lastFrameWasKey());

    // A one-colour block and a skip code that keeps the right block.
    ASSERT_TRUE(decode(decoder, words({0x8000 | green, 0x8401})));
    EXPECT_EQ(decoder.rgb555()[0], green);
    EXPECT_EQ(decoder.rgb555()[7], 4);
    EXPECT_FALSE(decoder.lastFrameWasKey());
    const std::vector<std::uint8_t> bgr = decoder.toBgr24(true);
    EXPECT_EQ(bgr[0], 0);
    EXPECT_EQ(bgr[1], 255); // green, bottom row first
    EXPECT_EQ(bgr[2], 0);
}

TEST(Video1Decoder, RefusesCorruptFrames)
{
    Video1Decoder decoder(8, 8);
    EXPECT_FALSE(decoder.decode(nullptr, 100));
    EXPECT_FALSE(decode(decoder, {}));
    EXPECT_FALSE(decode(decoder, {0x00}));
    EXPECT_FALSE(decode(decoder, words({0x8400})));               // skip of no block
    EXPECT_FALSE(decode(decoder, words({0x8405})));               // skip past the last block
    EXPECT_FALSE(decode(decoder, words({0x8403, 0x0000, 0x1234}))); // two-colour block cut short
    EXPECT_FALSE(decode(decoder, words({0x8403, 0x0000, 0x8000, 1, 2, 3, 4, 5}))); // eight-colour cut
    EXPECT_TRUE(decode(decoder, words({0x8403, 0x0000, 0x8000, 1, 2, 3, 4, 5, 6, 7})));
    EXPECT_FALSE(Video1Decoder(6, 8).valid());
    EXPECT_FALSE(Video1Decoder(6, 8).decode(words({0x8000}).data(), 2));
}

TEST(Video1Decoder, RefusesEveryTruncationOfARealFrame)
{
    const TestPicture picture = TestPicture::photoLike(32, 32, 9);
    video1::Video1Encoder encoder(32, 32);
    std::vector<std::uint8_t> frame;
    ASSERT_TRUE(encoder.encodeBgr24(picture.bgr().data(), 32 * 3, false, frame));
    Video1Decoder decoder(32, 32);
    const std::size_t withoutEnd = frame.size() - 2;
    for (std::size_t size = 0; size < withoutEnd; ++size)
        ASSERT_FALSE(decoder.decode(frame.data(), size)) << "cut at " << size;
    EXPECT_TRUE(decoder.decode(frame.data(), withoutEnd));
}

TEST(Video1Decoder, RandomBytesStayWithinTheirBuffer)
{
    // Exact-size heap copies let AddressSanitizer catch any read past the end.
    std::mt19937 random(1);
    Video1Decoder decoder(16, 16);
    int accepted = 0;
    for (int round = 0; round < 2000; ++round) {
        std::vector<std::uint8_t> bytes(random() % 300);
        for (std::uint8_t& b : bytes)
            b = std::uint8_t(random());
        if (decode(decoder, bytes)) {
            ++accepted;
            EXPECT_GE(bytes.size(), 2u);
        }
    }
    EXPECT_GT(accepted, 0);
    EXPECT_LT(accepted, 2000);
}
