#include "common/RecordingAudioEngine.h"
#include "openwebrx/OpenWebRXPipeline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Harness {
    AudioRecording audio;
    std::shared_ptr<AudioPlayer> player = audio.player();
    std::vector<WaterfallRow> rows;
    OpenWebRXPipeline pipeline{player, [this](WaterfallRow row) { rows.push_back(std::move(row)); }};

    void config(JSONValue::Object members) { pipeline.applyConfig(JSONValue(std::move(members))); }
    void band(double centerHz, double rateHz, bool compressed)
    {
        config({{QStringLiteral("center_freq"), JSONValue(centerHz)},
                {QStringLiteral("samp_rate"), JSONValue(rateHz)},
                {QStringLiteral("fft_compression"), JSONValue(QString::fromLatin1(compressed ? "adpcm" : "none"))},
                {QStringLiteral("audio_compression"), JSONValue(QString::fromLatin1(compressed ? "adpcm" : "none"))}});
    }
    std::uint32_t queuedFrames() const { return player->queueState().primingFrames; }
    AudioRecording::Engine engine() const { return audio.current(); }
    std::vector<float> scheduled() const { return audio.scheduledSamples(); }
};

// The levels as a server sends them: little-endian floats, as in memory here.
Bytes floatPayload(const std::vector<float>& levels)
{
    Bytes bytes(levels.size() * 4);
    std::memcpy(bytes.data(), levels.data(), bytes.size());
    return bytes;
}

Bytes frame(std::uint8_t type, const Bytes& payload)
{
    Bytes message{type};
    message.insert(message.end(), payload.begin(), payload.end());
    return message;
}

// Level i reads back as byte i / 4, so a row's first byte tells its first bin.
std::vector<float> rampLevels(std::size_t n)
{
    std::vector<float> levels(n);
    for (std::size_t i = 0; i < n; ++i)
        levels[i] = static_cast<float>(i);
    return levels;
}

struct CropCase {
    int zoom;
    double viewStartHz;
    std::size_t first;
    std::size_t visible;
    double startHz;
};

TEST(OpenWebRXPipeline, CropsRowsToTheZoomAndPanInsideTheSpectrum)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // 1000 levels over 7050000..7150000 Hz: 100 Hz per bin.
    const CropCase cases[] = {
        {1, 7140000, 500, 500, 7100000}, // pulled back so the window fits
        {1, 6000000, 0, 500, 7050000},
        {1, 7060049, 100, 500, 7060000}, // rounded to the nearest bin
        {1, 7060050, 101, 500, 7060100}, // halves away from zero
        {1, nan, 0, 500, 7050000},
        {-3, 7100000, 0, 1000, 7050000},
        {3, 7149000, 875, 125, 7137500},
        {10, 7100000, 500, 1, 7100000}, // beyond log2(n): a single bin
    };
    for (const CropCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "zoom " << c.zoom << " view " << c.viewStartHz);
        Harness h;
        h.band(7100000, 100000, false);
        h.pipeline.setView(c.zoom, c.viewStartHz);
        const auto row = h.pipeline.makeWaterfallRow(floatPayload(rampLevels(1000)));
        ASSERT_TRUE(row);
        ASSERT_EQ(row->bins.size(), c.visible);
        EXPECT_EQ(std::tuple(std::size_t(row->bins.front()), std::size_t(row->bins.back()), row->zoom),
            std::tuple(c.first, c.first + c.visible - 1, c.zoom));
        EXPECT_NEAR(row->startHz, c.startHz, 1e-6);
        EXPECT_NEAR(row->spanHz, 100.0 * double(c.visible), 1e-6);
    }
}

TEST(OpenWebRXPipeline, FourBinaryFrameTypesAndEveryWaterfallFrameAdvancesTheSequence)
{
    Harness h;
    for (const Bytes& other : {Bytes{}, Bytes{'{', '}'}, Bytes{0, 1, 2}, Bytes{5}})
        EXPECT_FALSE(h.pipeline.processMessage(other));
    EXPECT_TRUE(h.pipeline.processMessage(Bytes{3, 1, 2, 3}));
    EXPECT_TRUE(h.pipeline.processMessage(frame(1, Bytes(20, 0)))); // no band yet: no row
    EXPECT_EQ(std::tuple(h.pipeline.snapshot().sequence, h.rows.size()), std::tuple(1u, 0u));

    h.band(7100000, 100000, false);
    // Frames with more levels than the largest FFT give no row.
    EXPECT_TRUE(h.pipeline.makeWaterfallRow(Bytes(4 * 65536, 0)));
    EXPECT_FALSE(h.pipeline.makeWaterfallRow(Bytes(4 * 65537, 0)));

    h.band(7100000, 100000, true);
    EXPECT_TRUE(h.pipeline.makeWaterfallRow(Bytes(65536 / 2 + 5, 0)));
    EXPECT_FALSE(h.pipeline.makeWaterfallRow(Bytes(65536 / 2 + 6, 0)));
    // Five bytes are ten samples, all of them encoder warm-up.
    EXPECT_FALSE(h.pipeline.makeWaterfallRow(Bytes(5, 0x37)));
    EXPECT_FALSE(h.pipeline.makeWaterfallRow({}));
    EXPECT_EQ(h.pipeline.makeWaterfallRow(Bytes(6, 0x37)).value().bins.size(), 2u);
    // The levels are the samples after the warm-up, in hundredths of a decibel.
    Bytes payload(2053);
    for (std::size_t i = 0; i < payload.size(); ++i)
        payload[i] = std::uint8_t(i * 37 + 11);
    const std::vector<std::int16_t> samples = OpenWebRXADPCMDecoder{}.decodePlain(payload);
    std::vector<float> bins;
    for (std::size_t i = 10; i < samples.size(); ++i)
        bins.push_back(static_cast<float>(samples[i]) / 100.0f);
    const auto row = h.pipeline.makeWaterfallRow(payload);
    ASSERT_TRUE(row);
    EXPECT_EQ(std::tuple(row->sequence, row->bins), std::tuple(9u, bins));
    EXPECT_EQ(h.engine().startCount, 0);
}

// Through a waterfall frame to the row sink: the levels as sent, whatever
// they are (the renderer bounds them).
TEST(OpenWebRXPipeline, LevelsArriveInDecibelsAsTheServerSendsThem)
{
    Harness h;
    h.band(7100000, 100000, false);
    const std::vector<float> levels{std::numeric_limits<float>::infinity(), -254.5f, -100.7f, 12.5f};
    Bytes payload = floatPayload(levels);
    payload.insert(payload.end(), {0x42, 0x42}); // a partial float, ignored
    EXPECT_TRUE(h.pipeline.processMessage(frame(1, payload)));
    ASSERT_EQ(h.rows.size(), 1u);
    EXPECT_EQ(h.rows[0].bins, levels);
}

TEST(OpenWebRXPipeline, ThePlayerRestartsOnlyWhenTheRateChangesOrAfterAReset)
{
    Harness h;
    h.band(7100000, 100000, false);
    h.config({{QStringLiteral("fft_size"), JSONValue(2048.0)}});
    h.pipeline.setView(3, 7080000);
    const Bytes audio(200, 0);
    const std::tuple<std::uint8_t, double, int> steps[] = {{2, 12000, 1}, {2, 12000, 1}, {4, 48000, 2}, {4, 48000, 2}};
    for (const auto& [type, rate, starts] : steps) {
        EXPECT_TRUE(h.pipeline.processMessage(frame(type, audio)));
        EXPECT_EQ(std::tuple(h.engine().startCount, h.engine().sampleRate), std::tuple(starts, rate));
    }
    h.pipeline.makeWaterfallRow(floatPayload({-1}));

    // A reset forgets everything but the row counter.
    h.pipeline.reset();
    EXPECT_EQ(h.pipeline.snapshot(), (OpenWebRXPipeline::Snapshot{.playerRate = {}, .audioFraming = {}, .sequence = 1}));
    // The first audio frame starts the player again, in the framing it shows.
    h.pipeline.playAudio(Bytes(100, 0x33), 48000);
    EXPECT_EQ(h.engine().startCount, 3);
    EXPECT_EQ(h.queuedFrames(), 200u);
}

// `head`, then ADPCM code bytes that never hold the marker.
Bytes withCodes(Bytes head, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        head.push_back(std::uint8_t(i * 13 + 1));
    return head;
}

struct FramingCase {
    const char* name;
    std::uint8_t type;
    Bytes stream;
    // Where the stream is cut into frames.
    std::vector<std::size_t> cuts;
    std::optional<AudioFraming> framing;
};

TEST(OpenWebRXPipeline, CompressedAudioTakesTheFramingItsFirstFourBytesShowOncePerConnection)
{
    Bytes synced;
    for (std::uint8_t block = 0; block < 3; ++block) {
        synced.insert(synced.end(), {'S', 'Y', 'N', 'C', std::uint8_t(20 + block), 0, 0x10, 0x27});
        synced = withCodes(std::move(synced), 1001);
    }
    Bytes laterMarker = withCodes({}, 1500);
    laterMarker.insert(laterMarker.end(), {'S', 'Y', 'N', 'C', 0, 0, 0, 0});
    laterMarker = withCodes(std::move(laterMarker), 1500);
    const FramingCase cases[] = {
        {"marker a byte a frame", 2, synced, {1, 2, 3, 4, 5}, AudioFraming::adpcmWithSync},
        {"three marker bytes, then not", 2, withCodes({'S', 'Y', 'N'}, 3000), {3}, AudioFraming::plainADPCM},
        {"a marker later on", 2, laterMarker, {32, 64, 1504}, AudioFraming::plainADPCM},
        {"HD audio", 4, withCodes({}, 10000), {1, 128}, AudioFraming::plainADPCM},
        {"too few bytes to tell", 2, {'S', 'Y', 'N'}, {1}, std::nullopt},
    };
    for (const FramingCase& c : cases) {
        SCOPED_TRACE(c.name);
        Harness h;
        int told = 0;
        std::optional<AudioFraming> heard;
        h.pipeline.reset([&](AudioFraming framing) {
            ++told;
            heard = framing;
        });
        std::size_t from = 0;
        for (const std::size_t cut : c.cuts) {
            h.pipeline.processMessage(frame(c.type, Bytes(c.stream.begin() + from, c.stream.begin() + cut)));
            from = cut;
        }
        h.pipeline.processMessage(frame(c.type, Bytes(c.stream.begin() + from, c.stream.end())));
        EXPECT_EQ(std::tuple(told, heard, h.pipeline.snapshot().audioFraming),
            std::tuple(c.framing ? 1 : 0, c.framing, c.framing));

        // The same samples as the whole stream decoded in its framing at once,
        // all past the player's reserve.
        const bool synced = c.framing == AudioFraming::adpcmWithSync;
        std::vector<float> scaled;
        for (const std::int16_t s : !c.framing ? std::vector<std::int16_t>{}
                 : synced                      ? OpenWebRXADPCMDecoder{}.decodeSynced(c.stream)
                                               : OpenWebRXADPCMDecoder{}.decodePlain(c.stream))
            scaled.push_back(float(s) / 32768.0f);
        EXPECT_EQ(h.scheduled(), scaled);
        EXPECT_EQ(h.queuedFrames(), 0u);
    }

    // A new connection decides again and tells only its own sink.
    Harness h;
    int first = 0;
    std::optional<AudioFraming> second;
    h.pipeline.reset([&](AudioFraming) { ++first; });
    h.pipeline.processMessage(frame(2, withCodes({}, 10)));
    h.pipeline.reset([&](AudioFraming framing) { second = framing; });
    h.pipeline.processMessage(frame(2, synced));
    EXPECT_EQ(std::tuple(first, second), std::tuple(1, AudioFraming::adpcmWithSync));
}

// A huge frame is decoded a piece at a time, its markers cut anywhere; what
// plays is still the newest part of the whole stream decoded at once.
TEST(OpenWebRXPipeline, AHugeFramePlaysTheNewestPartOfTheWholeStream)
{
    Bytes synced;
    for (std::uint8_t block = 0; block < 200; ++block) {
        synced.insert(synced.end(), {'S', 'Y', 'N', 'C', std::uint8_t(block % 89), 0, block, 0x07});
        synced = withCodes(std::move(synced), 1001);
    }
    Harness h;
    h.pipeline.processMessage(frame(2, synced));
    const std::vector<std::int16_t> whole = OpenWebRXADPCMDecoder{}.decodeSynced(synced);
    const std::vector<float> played = h.scheduled();
    ASSERT_TRUE(!played.empty() && played.size() <= whole.size());
    std::vector<float> newest;
    for (auto s = whole.end() - std::ptrdiff_t(played.size()); s != whole.end(); ++s)
        newest.push_back(float(*s) / 32768.0f);
    EXPECT_EQ(played, newest);
}

TEST(OpenWebRXPipeline, UncompressedAudioIsLittleEndianAndIgnoresAnOddByte)
{
    Harness h;
    h.config({{QStringLiteral("audio_compression"), JSONValue(QStringLiteral("none"))}});
    h.pipeline.playAudio(Bytes{0x01, 0x80, 0x7F}, 12000);
    EXPECT_EQ(h.queuedFrames(), 1u);
    Bytes half(8000, 0x40); // 0x4040: a little over one half
    h.pipeline.playAudio(half, 12000);
    std::vector<float> expected(4001, 16448.0f / 32768.0f);
    expected.front() = -32767.0f / 32768.0f;
    EXPECT_EQ(h.scheduled(), expected);
}

TEST(OpenWebRXPipeline, ConfigTakesOnlyUsableValues)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::tuple<const char*, JSONValue, bool> cases[] = {
        {"fft_size", JSONValue(65537.0), false},       {"fft_size", JSONValue(-1.0), false},
        {"fft_size", JSONValue(QStringLiteral("4096")), false},
        {"center_freq", JSONValue(nan), false},        {"center_freq", JSONValue(1e300), false},
        {"center_freq", JSONValue(14100000.0), true},  {"samp_rate", JSONValue(inf), false},
        {"samp_rate", JSONValue(-250000.0), true},     {"audio_compression", JSONValue(true), false},
        {"audio_compression", JSONValue(QStringLiteral("none")), true},
        {"fft_compression", JSONValue(QStringLiteral("ADPCM")), true},
    };
    for (const auto& [key, value, taken] : cases) {
        SCOPED_TRACE(key);
        Harness h;
        h.band(7100000, 250000, true);
        const OpenWebRXPipeline::Snapshot before = h.pipeline.snapshot();
        h.config({{QString::fromLatin1(key), value}});
        EXPECT_EQ(h.pipeline.snapshot() != before, taken);
        // Whatever the config held, frames still give a row or none, safely.
        h.pipeline.setView(2, nan);
        const auto row = h.pipeline.makeWaterfallRow(floatPayload(rampLevels(64)));
        EXPECT_EQ(row.has_value(), h.pipeline.snapshot().sampleRateHz >= 1);
        EXPECT_TRUE(!row || (std::isfinite(row->startHz) && row->spanHz > 0));
    }

    Harness h;
    h.config({{QStringLiteral("fft_size"), JSONValue(4096.9)}});
    EXPECT_EQ(h.pipeline.snapshot().fftSize, 4096);
}

TEST(OpenWebRXPipeline, NeitherThePlayerNorTheRowSinkIsCalledUnderTheLock)
{
    // The callbacks read the pipeline: that would deadlock if its lock were held.
    Harness h;
    int readsInStart = 0;
    std::uint32_t seenInSink = 0;
    std::optional<AudioFraming> framingSeen;
    OpenWebRXPipeline pipeline(h.player, [&](WaterfallRow) { seenInSink = pipeline.snapshot().sequence; });
    pipeline.reset([&](AudioFraming) { framingSeen = pipeline.snapshot().audioFraming; });
    h.audio.setDuringStart([&] { (void)pipeline.snapshot(), ++readsInStart; });
    pipeline.applyConfig(JSONValue(JSONValue::Object{{QStringLiteral("samp_rate"), JSONValue(1000.0)},
                                                     {QStringLiteral("fft_compression"), JSONValue(QStringLiteral("none"))}}));
    pipeline.processMessage(frame(1, floatPayload({-10})));
    pipeline.processMessage(frame(2, Bytes(16, 0)));
    EXPECT_EQ(std::tuple(seenInSink, readsInStart, framingSeen), std::tuple(1u, 1, AudioFraming::plainADPCM));
}

} // namespace
