#include "ImaAdpcmEncoder.h"
#include "RxSimTestSupport.h"
#include "SimBand.h"
#include "SimReceiver.h"
#include "audio/IMAADPCMDecoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

TEST(ImaAdpcmEncoder, FramesDecodeWithTheProgramsDecoderAcrossFrameBoundaries)
{
    // A loud 1 kHz tone with a full-scale step in the middle, encoded in two
    // frames: the decoder must follow through the step and the boundary.
    std::vector<std::int16_t> samples(4096);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int16_t>(20000 * std::sin(2 * std::numbers::pi * 1000.0 * i / 12000.0));
    std::fill(samples.begin() + 2000, samples.begin() + 2100, std::int16_t{32767});
    std::fill(samples.begin() + 2100, samples.begin() + 2200, std::int16_t{-32768});

    ImaAdpcmEncoder encoder;
    const std::span<const std::int16_t> all(samples);
    std::vector<std::uint8_t> bytes = encoder.encode(all.first(2048));
    const std::vector<std::uint8_t> second = encoder.encode(all.subspan(2048));
    ASSERT_EQ(bytes.size(), 1024u);
    bytes.insert(bytes.end(), second.begin(), second.end());

    IMAADPCMDecoder decoder;
    const std::vector<float> decoded = decoder.decodeBlock(bytes);
    ASSERT_EQ(decoded.size(), samples.size());
    EXPECT_EQ(decoder.index, encoder.index);
    EXPECT_EQ(decoder.previous, encoder.previous);
    double error = 0, signal = 0;
    for (std::size_t i = 2400; i < samples.size(); ++i) {
        const double s = samples[i] / 32768.0;
        error += (decoded[i] - s) * (decoded[i] - s);
        signal += s * s;
    }
    EXPECT_GT(10 * std::log10(signal / error), 20.0);
}

struct DemodCase {
    const char* name;
    KiwiMode mode;
    double low, high, carrierKHz;
    double expectedHz;  // 0: noise only
    double minDbm, maxDbm;
};

class SimReceiverDemod : public ::testing::TestWithParam<DemodCase> {};

TEST_P(SimReceiverDemod, TunedSignalBecomesItsToneAndSMeterFollows)
{
    const DemodCase& c = GetParam();
    SimReceiver rx(SimBand::standard(), 7);
    rx.setTuning({c.mode, c.low, c.high, c.carrierKHz * 1000});
    rx.setGain({});
    std::vector<float> audio(2048);
    std::vector<float> all;
    double strongest = -200;
    // 3 s of band time: long enough for the CW and the voice to be on.
    for (int frame = 0; frame < 18; ++frame) {
        rx.render(frame * 2048.0 / 12000, audio);
        all.insert(all.end(), audio.begin(), audio.end());
        strongest = std::max(strongest, rx.signalDbm());
    }
    EXPECT_GE(strongest, c.minDbm);
    EXPECT_LE(strongest, c.maxDbm);
    EXPECT_TRUE(std::all_of(all.begin(), all.end(), [](float x) { return x >= -1 && x <= 1; }));
    const double total = std::inner_product(all.begin(), all.end(), all.begin(), 0.0) / all.size();
    const auto ratio = [&](double hz) { return tonePower(all, hz, 12000) / total; };
    // Noise gives a ratio near 1 at any frequency; a steady sine holding all
    // the power gives N/2.
    if (c.expectedHz == 0) {
        for (const double hz : {400.0, 500.0, 1000.0, 1200.0})
            EXPECT_LT(ratio(hz), 30) << hz;
        return;
    }
    EXPECT_GT(ratio(c.expectedHz), 0.05 * all.size());
    EXPECT_GT(ratio(c.expectedHz), 20 * ratio(c.expectedHz + 150));
}

INSTANTIATE_TEST_SUITE_P(
    Tunings, SimReceiverDemod,
    ::testing::Values(
        DemodCase{"AmBroadcastGivesItsModulation", KiwiMode::am, -4900, 4900, 9500.0, 400, -62, -55},
        DemodCase{"MistunedAmStillGivesItsModulation", KiwiMode::am, -4900, 4900, 9501.5, 400, -62, -55},
        DemodCase{"UsbBelowAmCarrierGivesTheOffset", KiwiMode::usb, 300, 2700, 9498.8, 1200, -62, -55},
        DemodCase{"CwCarrierGivesItsPitch", KiwiMode::cw, 300, 700, 7029.5, 500, -76, -70},
        DemodCase{"EmptySpotGivesNoiseOnly", KiwiMode::usb, 300, 2700, 12000.0, 0, -120, -112},
        DemodCase{"CarrierOutsideThePassbandIsNotHeard", KiwiMode::usb, 300, 2700, 9502.0, 0, -120, -112}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
