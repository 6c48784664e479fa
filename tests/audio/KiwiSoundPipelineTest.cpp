#include "audio/KiwiSoundPipeline.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace {

constexpr float scale = 1.0f / 32768.0f;

class RecordingSink : public AudioSampleSink {
public:
    void enqueue(std::span<const float> samples) override
    {
        const std::lock_guard guard(lock);
        blocks.emplace_back(samples.begin(), samples.end());
    }

    std::vector<std::vector<float>> recorded() const
    {
        const std::lock_guard guard(lock);
        return blocks;
    }

    std::vector<float> joined() const
    {
        std::vector<float> all;
        for (const auto& block : recorded())
            all.insert(all.end(), block.begin(), block.end());
        return all;
    }

private:
    mutable std::mutex lock;
    std::vector<std::vector<float>> blocks;
};

KiwiSoundFrame frame(std::uint8_t flags, const std::vector<std::uint8_t>& payload)
{
    KiwiSoundFrame result;
    result.flags = flags;
    result.payload = payload;
    return result;
}

struct PipelineTest : ::testing::Test {
    std::shared_ptr<RecordingSink> sink = std::make_shared<RecordingSink>();
    KiwiSoundPipeline pipeline{sink};

    void setState(const char* value)
    {
        pipeline.applyParameters({KiwiParam{QStringLiteral("audio_adpcm_state"), QString::fromLatin1(value)}});
    }
};

TEST_F(PipelineTest, AdpcmStateCarriesAcrossFrames)
{
    const std::vector<std::uint8_t> first{0x07, 0x3A, 0xF1};
    const std::vector<std::uint8_t> second{0x90, 0x77, 0x08, 0xC4};
    std::vector<std::uint8_t> both = first;
    both.insert(both.end(), second.begin(), second.end());

    pipeline.processSoundFrame(frame(KiwiSoundFrame::flagADPCM, first));
    pipeline.processSoundFrame(frame(KiwiSoundFrame::flagADPCM, second));

    IMAADPCMDecoder reference;
    EXPECT_EQ(sink->joined(), reference.decodeBlock(both));
    EXPECT_EQ(sink->recorded().size(), 2u);
    EXPECT_EQ(pipeline.decoderState(), reference);

    pipeline.resetDecoder();
    EXPECT_EQ(pipeline.decoderState(), IMAADPCMDecoder{});
}

TEST_F(PipelineTest, AdpcmStateParameter)
{
    struct Case {
        std::optional<QString> value;
        std::int64_t index;
        std::int64_t previous;
    };
    // Each case starts from index 10, previous 20.
    const Case cases[] = {
        {QStringLiteral("120,-5"), 88, -5}, {QStringLiteral("5"), 10, 20}, {QStringLiteral("3,,4"), 3, 4},
        {QStringLiteral("x,3,4"), 3, 4}, {QStringLiteral("1,2,3"), 10, 20}, {QStringLiteral("-7,0"), 0, 0},
        {QStringLiteral(" 3,4"), 10, 20}, {std::nullopt, 10, 20},
        {QStringLiteral("1,9223372036854775807"), 1, 32767}, {QStringLiteral("9223372036854775808,1"), 10, 20},
    };
    for (const Case& c : cases) {
        setState("10,20");
        pipeline.applyParameters({KiwiParam{QStringLiteral("audio_adpcm_state"), c.value}});
        const IMAADPCMDecoder state = pipeline.decoderState();
        const QString shown = c.value.value_or(QStringLiteral("<absent>"));
        EXPECT_EQ(state.index, c.index) << shown.toStdString();
        EXPECT_EQ(state.previous, c.previous) << shown.toStdString();
    }
}

TEST_F(PipelineTest, AdpcmStateParametersApplyInOrderAndOtherKeysAreIgnored)
{
    pipeline.applyParameters({
        KiwiParam{QStringLiteral("audio_adpcm_state"), QStringLiteral("5,6")},
        KiwiParam{QStringLiteral("audio_adpcm_stat"), QStringLiteral("7,8")},
        KiwiParam{QStringLiteral("AUDIO_ADPCM_STATE"), QStringLiteral("7,8")},
        KiwiParam{QStringLiteral("audio_adpcm_state"), QStringLiteral("9,10")},
        KiwiParam{QStringLiteral("audio_adpcm_state"), QStringLiteral("bad")},
    });
    EXPECT_EQ(pipeline.decoderState(), (IMAADPCMDecoder{.index = 9, .previous = 10}));
}

TEST_F(PipelineTest, PairedLayoutWinsOverAdpcmFlag)
{
    std::vector<std::uint8_t> payload(10, 0xAA);
    // Pairs: (0x1234, 0x5555), (0xFFFE, 0x5555), then a lone first byte.
    payload.insert(payload.end(), {0x12, 0x34, 0x55, 0x55, 0xFF, 0xFE, 0x55, 0x55, 0x80});
    setState("30,100");
    pipeline.processSoundFrame(frame(KiwiSoundFrame::flagStereoPairs | KiwiSoundFrame::flagADPCM, payload));

    EXPECT_EQ(sink->joined(), (std::vector<float>{0x1234 * scale, -2 * scale}));
    EXPECT_EQ(pipeline.decoderState(), (IMAADPCMDecoder{.index = 30, .previous = 100}));
}

TEST_F(PipelineTest, PairedLayoutNeedsBothBytesOfAValue)
{
    struct Case {
        std::size_t size;
        std::size_t samples;
    };
    // An empty payload still reaches the player, as an empty block.
    for (const Case c : {Case{0, 0}, Case{11, 0}, Case{12, 1}, Case{15, 1}, Case{16, 2}}) {
        const std::vector<std::uint8_t> payload(c.size, 0x01);
        const auto before = sink->recorded().size();
        pipeline.processSoundFrame(frame(KiwiSoundFrame::flagStereoPairs, payload));
        ASSERT_EQ(sink->recorded().size(), before + 1);
        EXPECT_EQ(sink->recorded().back().size(), c.samples) << c.size << " bytes";
    }
}

TEST_F(PipelineTest, UncompressedIsBigEndianAndIgnoresOddByte)
{
    const std::vector<std::uint8_t> payload{0x7F, 0xFF, 0x80, 0x00, 0x42};
    setState("30,100");
    pipeline.processSoundFrame(frame(KiwiSoundFrame::flagOverload, payload));
    EXPECT_EQ(sink->joined(), (std::vector<float>{32767 * scale, -1.0f}));
    EXPECT_EQ(pipeline.decoderState(), (IMAADPCMDecoder{.index = 30, .previous = 100}));
}

// Resets the decoder from another thread inside enqueue: that finishes only if
// the pipeline released its lock first; a held lock fails rather than hangs.
class ReenteringSink : public AudioSampleSink {
public:
    KiwiSoundPipeline* pipeline = nullptr;
    std::thread resetter;
    bool resetFinished = false;

    void enqueue(std::span<const float>) override
    {
        std::promise<void> done;
        std::future<void> finished = done.get_future();
        resetter = std::thread([this, done = std::move(done)]() mutable {
            pipeline->resetDecoder();
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

    const std::vector<std::uint8_t> payload{0x77, 0x77};
    pipeline.processSoundFrame(frame(KiwiSoundFrame::flagADPCM, payload));
    ASSERT_TRUE(sink->resetter.joinable());
    sink->resetter.join();
    EXPECT_TRUE(sink->resetFinished);
    EXPECT_EQ(pipeline.decoderState(), IMAADPCMDecoder{});
}

} // namespace
