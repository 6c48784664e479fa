#include "openwebrx/OpenWebRXADPCMDecoder.h"

#include <gtest/gtest.h>


namespace {

using Bytes = std::vector<std::uint8_t>;
using Samples = std::vector<std::int16_t>;
using Phase = OpenWebRXADPCMDecoder::Phase;

Bytes syncBlock(std::int16_t stepIndex, std::int16_t predictor)
{
    const auto index = static_cast<std::uint16_t>(stepIndex);
    const auto value = static_cast<std::uint16_t>(predictor);
    return {'S', 'Y', 'N', 'C', std::uint8_t(index & 0xFF), std::uint8_t(index >> 8),
            std::uint8_t(value & 0xFF), std::uint8_t(value >> 8)};
}

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Decodes `bytes` in pieces cut at `cuts` (ascending offsets).
Samples decodeInPieces(OpenWebRXADPCMDecoder& d, const Bytes& bytes, const std::vector<std::size_t>& cuts)
{
    Samples out;
    std::size_t from = 0;
    for (std::size_t cut : cuts) {
        d.decodeSynced(std::span(bytes).subspan(from, cut - from), out);
        from = cut;
    }
    d.decodeSynced(std::span(bytes).subspan(from), out);
    return out;
}

TEST(OpenWebRXADPCMDecoder, PlainDecodingLowNibbleFirstAppendingToTheOutput)
{
    OpenWebRXADPCMDecoder d;
    EXPECT_EQ(d.decodePlain(Bytes{0x04}), (Samples{7, 8}));
    EXPECT_EQ(d.stepIndex, 1);

    OpenWebRXADPCMDecoder e;
    Samples out{42};
    e.decodePlain(Bytes{0x21}, out);
    e.decodeSynced(Bytes{0x21, 'S'}, out);
    EXPECT_EQ(out, (Samples{42, 1, 4}));
    EXPECT_EQ(e.stepIndex, 0);
    EXPECT_EQ(e.matched, 1);
}

TEST(OpenWebRXADPCMDecoder, PredictorSaturates)
{
    OpenWebRXADPCMDecoder up;
    const Samples high = up.decodePlain(Bytes(200, 0x77));
    EXPECT_EQ(high.back(), 32767);
    EXPECT_EQ(up.stepIndex, 88);
    OpenWebRXADPCMDecoder down;
    EXPECT_EQ(down.decodePlain(Bytes(200, 0xFF)).back(), -32768);
}

TEST(OpenWebRXADPCMDecoder, NoSamplesWithoutMarkerAndAMismatchIsNotRetriedAsMarkerStart)
{
    OpenWebRXADPCMDecoder d;
    EXPECT_TRUE(d.decodeSynced(Bytes(5000, 0x37)).empty());
    EXPECT_TRUE(d.decodeSynced(Bytes{'S', 'Y', 'N', 'X', 0, 0, 0, 0, 0x11}).empty());
    EXPECT_TRUE(d.decodeSynced(Bytes{'S', 'S', 'Y', 'N', 'C', 0, 0, 0, 0, 0x11, 0x11}).empty());
    EXPECT_EQ(d.phase, Phase::searching);

    OpenWebRXADPCMDecoder e;
    EXPECT_EQ(e.decodeSynced(syncBlock(0, 0) + Bytes{0x21}), (Samples{1, 4}));
    EXPECT_EQ(e.phase, Phase::decoding);
}

TEST(OpenWebRXADPCMDecoder, StateBlockLoadsIndexAndPredictor)
{
    OpenWebRXADPCMDecoder d;
    EXPECT_TRUE(d.decodeSynced(Bytes{'S', 'Y', 'N', 'C', 0x05, 0x00, 0x10, 0x27}).empty());
    EXPECT_EQ(d.stepIndex, 5);
    EXPECT_EQ(d.predictor, 10000);
    EXPECT_EQ(d.bytesUntilSync, 1000);
    EXPECT_EQ(d.phase, Phase::decoding);
    // Step 12 (index 5), then step 11 (index 4).
    EXPECT_EQ(d.decodeSynced(Bytes{0x00}), (Samples{10001, 10002}));
}

TEST(OpenWebRXADPCMDecoder, OutOfRangeIndexIsClampedOnUse)
{
    OpenWebRXADPCMDecoder d;
    d.decodeSynced(Bytes{'S', 'Y', 'N', 'C', 0xFF, 0xFF, 0x00, 0x00});
    EXPECT_EQ(d.stepIndex, -1);
    // Step of index 0, then -1 + 8 = 7: the raw index takes part in the
    // update, so the next step is that of index 7.
    EXPECT_EQ(d.decodeSynced(Bytes{0x07}), (Samples{11, 12}));
    EXPECT_EQ(d.stepIndex, 6);

    OpenWebRXADPCMDecoder high;
    high.decodeSynced(syncBlock(32767, -32768));
    EXPECT_EQ(high.decodeSynced(Bytes{0x08}), (Samples{-32768, -28673}));
    EXPECT_EQ(high.stepIndex, 87);
}

TEST(OpenWebRXADPCMDecoder, RunOf1001BytesAfterEachBlock)
{
    OpenWebRXADPCMDecoder d;
    EXPECT_EQ(d.decodeSynced(syncBlock(0, 0) + Bytes(1002, 0x11)).size(), 2002u);
    EXPECT_EQ(d.phase, Phase::searching);
    EXPECT_EQ(d.bytesUntilSync, -1);

    // The byte after the run is already searched: a marker there counts.
    OpenWebRXADPCMDecoder e;
    const Bytes twoBlocks = syncBlock(0, 0) + Bytes(1001, 0x11) + syncBlock(10, 100) + Bytes{0x00};
    const Samples samples = e.decodeSynced(twoBlocks);
    ASSERT_EQ(samples.size(), 2004u);
    // Step 19 of index 10: 100 + (19 >> 3).
    EXPECT_EQ(samples[2002], 102);
}

TEST(OpenWebRXADPCMDecoder, SplitsAnywhereGiveTheSameResult)
{
    const Bytes stream = Bytes{'S', 'S', 0x00} + syncBlock(-1, 1234) + Bytes(1001, 0x87)
                         + Bytes{'S', 'Y', 'N', 'x'} + syncBlock(40, -20000) + Bytes{0x3C, 0x12};
    OpenWebRXADPCMDecoder whole;
    const Samples expected = whole.decodeSynced(stream);
    ASSERT_EQ(expected.size(), 2006u);
    for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
        OpenWebRXADPCMDecoder split;
        ASSERT_EQ(decodeInPieces(split, stream, {cut}), expected) << cut;
        ASSERT_EQ(split, whole) << cut;
    }
    // Every pair of cuts within the marker and state blocks.
    for (std::size_t a = 0; a <= 12; ++a) {
        for (std::size_t b = a; b <= 12; ++b) {
            OpenWebRXADPCMDecoder split;
            ASSERT_EQ(decodeInPieces(split, stream, {a, b}), expected) << a << "," << b;
        }
    }
}

} // namespace
