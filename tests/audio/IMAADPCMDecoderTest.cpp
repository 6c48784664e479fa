#include "audio/IMAADPCMDecoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace {

constexpr float scale = 1.0f / 32768.0f;

TEST(IMAADPCMDecoder, VectorsLowNibbleFirst)
{
    const struct {
        std::uint8_t byte;
        std::vector<float> samples;
        std::int64_t index;
        std::int64_t previous;
    } cases[] = {
        {0x00, {0.0f, 0.0f}, 0, 0},
        {0x07, {11 * scale, 13 * scale}, 7, 13},
        {0x8F, {-11 * scale, -13 * scale}, 7, -13},
        {0x21, {1 * scale, 4 * scale}, 0, 4},
    };
    for (const auto& c : cases) {
        IMAADPCMDecoder decoder;
        EXPECT_EQ(decoder.decodeBlock(std::vector<std::uint8_t>{c.byte}), c.samples) << int(c.byte);
        EXPECT_EQ(decoder.index, c.index) << int(c.byte);
        EXPECT_EQ(decoder.previous, c.previous) << int(c.byte);
    }
}

TEST(IMAADPCMDecoder, LongRunsSaturateBothWays)
{
    for (const auto& [code, limit] : {std::pair{0x7, 32767}, std::pair{0xF, -32768}}) {
        IMAADPCMDecoder decoder;
        decoder.decodeBlock(std::vector<std::uint8_t>(100, static_cast<std::uint8_t>(code * 0x11)));
        EXPECT_EQ(decoder.previous, limit) << code;
        EXPECT_EQ(decoder.index, 88) << code;
    }
}

TEST(IMAADPCMDecoder, OutOfRangeStateIsBroughtIntoRangeBeforeUse)
{
    IMAADPCMDecoder decoder{.index = 1000, .previous = std::numeric_limits<std::int64_t>::max()};
    EXPECT_EQ(decoder.decodeBlock(std::vector<std::uint8_t>{0x07}).front(), 32767 * scale);

    decoder = {.index = -5, .previous = std::numeric_limits<std::int64_t>::min()};
    const std::vector<std::uint8_t> bytes{0xFF};
    for (const float sample : decoder.decodeBlock(bytes))
        EXPECT_EQ(sample, -1.0f);
}

TEST(IMAADPCMDecoder, StateCarriesFromBlockToBlock)
{
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < 600; ++i)
        bytes.push_back(static_cast<std::uint8_t>((i * 37 + i / 7) & 0xFF));
    IMAADPCMDecoder whole;
    const std::vector<float> expected = whole.decodeBlock(bytes);

    IMAADPCMDecoder pieces;
    std::vector<float> samples = pieces.decodeBlock(std::span(bytes).first(217));
    const std::vector<float> rest = pieces.decodeBlock(std::span(bytes).subspan(217));
    samples.insert(samples.end(), rest.begin(), rest.end());
    EXPECT_EQ(samples, expected);
    EXPECT_EQ(pieces, whole);
}

TEST(IMAADPCMDecoder, CallerBufferTakesOnlyWholeBytesThatFit)
{
    const std::vector<std::uint8_t> bytes{0x07, 0x77, 0x70};
    IMAADPCMDecoder whole;
    const std::vector<float> expected = whole.decodeBlock(bytes);

    IMAADPCMDecoder decoder;
    std::vector<float> out(5, 9.0f);
    EXPECT_EQ(decoder.decodeBlock(bytes, out), 4u);
    EXPECT_EQ(std::vector<float>(out.begin(), out.begin() + 4), std::vector<float>(expected.begin(), expected.begin() + 4));
    EXPECT_EQ(out[4], 9.0f);
}

} // namespace
