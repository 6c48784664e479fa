#include "openwebrx/OpenWebRXADPCMDecoder.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Samples = std::vector<std::int16_t>;

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes syncBlock(std::int16_t stepIndex, std::int16_t predictor, const Bytes& codes = {})
{
    const auto index = static_cast<std::uint16_t>(stepIndex);
    const auto value = static_cast<std::uint16_t>(predictor);
    return Bytes{'S', 'Y', 'N', 'C', std::uint8_t(index & 0xFF), std::uint8_t(index >> 8), std::uint8_t(value & 0xFF),
                 std::uint8_t(value >> 8)} + codes;
}

TEST(OpenWebRXADPCMDecoder, StateBlocksAndTheirRuns)
{
    struct Case {
        Bytes stream;
        Samples expected;
    };
    const Case cases[] = {
        // No marker, a broken one, and a mismatch that is not retried as a marker start.
        {Bytes(5000, 0x37), {}},
        {{'S', 'Y', 'N', 'X', 0, 0, 0, 0, 0x11}, {}},
        {{'S', 'S', 'Y', 'N', 'C', 0, 0, 0, 0, 0x11, 0x11}, {}},
        // Steps of index 5 (12), then 4 (11), from 10000.
        {syncBlock(5, 10000, {0x00}), {10001, 10002}},
        // An index outside the table: the step of index 0, then -1 + 8 = 7,
        // as the raw index takes part in the update.
        {syncBlock(-1, 0, {0x07}), {11, 12}},
        {syncBlock(32767, -32768, {0x08}), {-32768, -28673}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(OpenWebRXADPCMDecoder{}.decodeSynced(c.stream), c.expected) << c.stream.size() << " bytes";
}

// A run is 1001 code bytes: a marker straight after one counts, and the byte
// after the next one is searched again.
TEST(OpenWebRXADPCMDecoder, RunsOf1001CodeBytesSplitAnywhereGiveTheSameResult)
{
    const Bytes stream = Bytes{'S', 'S', 0x00} + syncBlock(-1, 1234, Bytes(1001, 0x87))
                         + syncBlock(10, 100, Bytes(1001, 0x00)) + Bytes{'S', 'Y', 'N', 'x'}
                         + syncBlock(40, -20000, {0x3C, 0x12});
    OpenWebRXADPCMDecoder whole;
    const Samples expected = whole.decodeSynced(stream);
    ASSERT_EQ(expected.size(), 4008u);
    // Every single cut, and every pair within the marker and state block.
    std::vector<std::vector<std::size_t>> cuts;
    for (std::size_t a = 0; a <= stream.size(); ++a)
        cuts.push_back({a});
    for (std::size_t a = 0; a <= 12; ++a)
        for (std::size_t b = a; b <= 12; ++b)
            cuts.push_back({a, b});
    for (const auto& at : cuts) {
        OpenWebRXADPCMDecoder split;
        Samples out;
        std::size_t from = 0;
        for (const std::size_t cut : at) {
            split.decodeSynced(std::span(stream).subspan(from, cut - from), out);
            from = cut;
        }
        split.decodeSynced(std::span(stream).subspan(from), out);
        ASSERT_EQ(out, expected) << at.front();
        ASSERT_EQ(split, whole) << at.front();
    }
}

} // namespace
