#include "kiwisdr/KiwiSoundPipeline.h"

#include <gtest/gtest.h>

#include <future>
#include <thread>

namespace {

constexpr float scale = 1.0f / 32768.0f;
using Bytes = std::vector<std::uint8_t>;

struct BlockSink : SoundSink {
    std::vector<std::vector<float>> blocks;
    std::vector<double> starts;
    std::optional<AudioOutputError> start(double rate) override
    {
        starts.push_back(rate);
        return std::nullopt;
    }
    void enqueue(std::span<const float> samples) override { blocks.emplace_back(samples.begin(), samples.end()); }
};

KiwiSoundFrame frame(std::uint8_t flags, const Bytes& payload)
{
    return {.flags = flags, .payload = payload};
}

struct PipelineTest : ::testing::Test {
    std::shared_ptr<BlockSink> sink = std::make_shared<BlockSink>();
    KiwiSoundPipeline pipeline{sink};

    void setState(std::optional<QString> value) { pipeline.applyParameters({{"audio_adpcm_state", std::move(value)}}); }
};

TEST_F(PipelineTest, AdpcmStateCarriesAcrossFrames)
{
    const Bytes bytes{0x07, 0x3A, 0xF1, 0x90, 0x77, 0x08, 0xC4};
    KiwiADPCMDecoder reference;
    const std::vector<float> expected = reference.decodeBlock(bytes);
    pipeline.processSoundFrame(frame(KiwiSoundFrame::flagADPCM, Bytes(bytes.begin(), bytes.begin() + 2)));
    pipeline.processSoundFrame(frame(KiwiSoundFrame::flagADPCM, Bytes(bytes.begin() + 2, bytes.end())));
    EXPECT_EQ(sink->blocks.back(), std::vector<float>(expected.begin() + 4, expected.end()));
    EXPECT_EQ(pipeline.decoderState(), reference);
}

TEST_F(PipelineTest, AdpcmStateParameter)
{
    struct Case {
        std::optional<QString> value;
        KiwiADPCMDecoder state;
    };
    // Each case starts from index 10, previous 20.
    const Case cases[] = {
        {"120,-5", {88, -5}}, {"5", {10, 20}}, {"3,,4", {3, 4}}, {"x,3,4", {3, 4}}, {"1,2,3", {10, 20}},
        {"-7,0", {0, 0}}, {" 3,4", {10, 20}}, {std::nullopt, {10, 20}}, {"1,9223372036854775807", {1, 32767}},
        {"9223372036854775808,1", {10, 20}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value.value_or("<absent>").toStdString());
        setState("10,20");
        setState(c.value);
        EXPECT_EQ(pipeline.decoderState(), c.state);
    }
    // Later values win; other keys are not the state.
    pipeline.applyParameters(
        {{"audio_adpcm_state", "5,6"}, {"AUDIO_ADPCM_STATE", "7,8"}, {"audio_adpcm_state", "9,10"}});
    EXPECT_EQ(pipeline.decoderState(), (KiwiADPCMDecoder{9, 10}));
}

TEST_F(PipelineTest, LayoutsLeaveTheAdpcmStateAlone)
{
    setState("30,100");
    // Pairs win over the ADPCM flag: after 10 bytes, (value, other channel)
    // pairs, big-endian; a lone first byte is dropped.
    Bytes paired(10, 0xAA);
    paired.insert(paired.end(), {0x12, 0x34, 0x55, 0x55, 0xFF, 0xFE, 0x55, 0x55, 0x80});
    pipeline.processSoundFrame(frame(KiwiSoundFrame::flagStereoPairs | KiwiSoundFrame::flagADPCM, paired));
    EXPECT_EQ(sink->blocks.back(), (std::vector<float>{0x1234 * scale, -2 * scale}));
    // Uncompressed: big-endian, an odd byte ignored.
    pipeline.processSoundFrame(frame(KiwiSoundFrame::flagOverload, Bytes{0x7F, 0xFF, 0x80, 0x00, 0x42}));
    EXPECT_EQ(sink->blocks.back(), (std::vector<float>{32767 * scale, -1.0f}));
    EXPECT_EQ(pipeline.decoderState(), (KiwiADPCMDecoder{30, 100}));

    // An empty payload still reaches the player, as an empty block.
    for (const auto& [size, samples] : {std::pair{0u, 0u}, std::pair{11u, 0u}, std::pair{12u, 1u}, std::pair{16u, 2u}}) {
        pipeline.processSoundFrame(frame(KiwiSoundFrame::flagStereoPairs, Bytes(size, 0x01)));
        EXPECT_EQ(sink->blocks.back().size(), samples) << size << " bytes";
    }
    EXPECT_EQ(sink->blocks.size(), 6u);
}

// A server's huge frame plays only its newest 65536 samples; the ADPCM bytes
// before them still move the decoder on.
TEST_F(PipelineTest, HugeFramesPlayOnlyTheirNewestSamples)
{
    Bytes bytes(300'001);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 37 + i / 251);
    KiwiADPCMDecoder reference;
    const std::vector<float> whole = reference.decodeBlock(bytes);
    pipeline.processSoundFrame(frame(KiwiSoundFrame::flagADPCM, bytes));
    EXPECT_EQ(sink->blocks.back(), std::vector<float>(whole.end() - 65536, whole.end()));
    EXPECT_EQ(pipeline.decoderState(), reference);

    // Uncompressed: 150,000 samples, of which the last 65536 play.
    pipeline.processSoundFrame(frame(0, bytes));
    const auto sampleAt = [&](std::size_t at) { return float(std::int16_t(bytes[at] << 8 | bytes[at + 1])) * scale; };
    const std::vector<float>& played = sink->blocks.back();
    ASSERT_EQ(played.size(), 65536u);
    EXPECT_EQ(std::pair(played.front(), played.back()), std::pair(sampleAt(2 * 84'464), sampleAt(299'998)));
}

TEST_F(PipelineTest, TheReceiversRateStartsThePlayerOnceAndOnlyWhileTheConnectionLasts)
{
    std::vector<SoundStream::Start> heard;
    pipeline.reset([&](const SoundStream::Start& start) { heard.push_back(start); });
    const auto rate = [&](const char* value) { pipeline.applyParameters({{"audio_rate", QString::fromLatin1(value)}}); };
    rate("12000.7");
    rate("12000.7");
    rate("500");
    rate("x");
    EXPECT_EQ(sink->starts, std::vector<double>{12000.7});
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(std::tuple(heard[0].rate, heard[0].isPlayable, heard[1].rate, heard[1].isPlayable),
        std::tuple(12000.7, true, 500.0, false));

    // An ended connection starts nothing; the next one starts afresh.
    pipeline.close();
    rate("8000");
    pipeline.reset();
    rate("12000.7");
    EXPECT_EQ(sink->starts, (std::vector<double>{12000.7, 12000.7}));
}

// Resets the decoder from another thread inside enqueue: that finishes only if
// the pipeline released its lock first; a held lock fails rather than hangs.
struct ReenteringSink : SoundSink {
    KiwiSoundPipeline* pipeline = nullptr;
    std::thread resetter;
    bool resetFinished = false;

    std::optional<AudioOutputError> start(double) override { return std::nullopt; }
    void enqueue(std::span<const float>) override
    {
        std::promise<void> done;
        std::future<void> finished = done.get_future();
        resetter = std::thread([this, done = std::move(done)]() mutable {
            pipeline->reset();
            done.set_value();
        });
        resetFinished = finished.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    }
};

TEST(KiwiSoundPipelineLocking, LockIsNotHeldWhileEnqueueing)
{
    const auto sink = std::make_shared<ReenteringSink>();
    KiwiSoundPipeline pipeline(sink);
    sink->pipeline = &pipeline;
    pipeline.processSoundFrame(frame(KiwiSoundFrame::flagADPCM, Bytes{0x77, 0x77}));
    ASSERT_TRUE(sink->resetter.joinable());
    sink->resetter.join();
    EXPECT_EQ(std::tuple(sink->resetFinished, pipeline.decoderState()), std::tuple(true, KiwiADPCMDecoder{}));
}

} // namespace
