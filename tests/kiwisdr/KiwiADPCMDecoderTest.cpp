#include "kiwisdr/KiwiADPCMDecoder.h"

#include <gtest/gtest.h>

namespace {

constexpr float scale = 1.0f / 32768.0f;
using Bytes = std::vector<std::uint8_t>;

TEST(KiwiADPCMDecoder, LowNibbleFirstTheStateStaysInRangeAndACallerBufferTakesWholeBytes)
{
    constexpr std::int64_t big = std::numeric_limits<std::int64_t>::max();
    const struct {
        KiwiADPCMDecoder start;
        Bytes bytes;
        float first;
        float last;
        std::int64_t index;
        std::int64_t previous;
    } cases[] = {
        {{}, {0x00}, 0.0f, 0.0f, 0, 0},
        {{}, {0x07}, 11 * scale, 13 * scale, 7, 13},
        {{}, {0x8F}, -11 * scale, -13 * scale, 7, -13},
        {{}, {0x21}, 1 * scale, 4 * scale, 0, 4},
        {{.index = 40, .previous = 1000}, {0x5A, 0x3B}, 790 * scale, 1176 * scale, 41, 1176},
        // Long runs saturate both ways.
        {{}, Bytes(100, 0x77), 11 * scale, 32767 * scale, 88, 32767},
        {{}, Bytes(100, 0xFF), -11 * scale, -1.0f, 88, -32768},
        // Whatever the public fields hold is brought into range before use.
        {{.index = 1000, .previous = big}, {0x07}, 32767 * scale, 32767 * scale, 87, 32767},
        {{.index = -5, .previous = -big - 1}, {0xFF}, -1.0f, -1.0f, 16, -32768},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.bytes[0]) << " x" << c.bytes.size());
        KiwiADPCMDecoder decoder = c.start;
        const std::vector<float> samples = decoder.decodeBlock(c.bytes);
        ASSERT_EQ(samples.size(), 2 * c.bytes.size());
        EXPECT_EQ(std::tuple(samples.front(), samples.back(), decoder.index, decoder.previous),
            std::tuple(c.first, c.last, c.index, c.previous));
    }

    // Code 4 from the bottom adds step + step / 8 at each index: weighted, the
    // sum is the standard step table's, so a wrong or swapped entry shows.
    std::int64_t weighted = 0;
    for (std::int64_t index = 0; index <= 88; ++index) {
        KiwiADPCMDecoder decoder{.index = index, .previous = -32768};
        weighted += (index + 1) * std::int64_t(decoder.decodeBlock(Bytes{0x04}).front() * 32768);
    }
    EXPECT_EQ(weighted, -99198932);

    // A caller's buffer takes whole bytes only.
    std::vector<float> out(3, 9.0f);
    EXPECT_EQ(KiwiADPCMDecoder{}.decodeBlock(Bytes{0x21, 0x21}, out), 2u);
    EXPECT_EQ(out, (std::vector<float>{1 * scale, 4 * scale, 9.0f}));
}

} // namespace
