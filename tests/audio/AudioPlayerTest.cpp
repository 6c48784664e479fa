#include "audio/AudioDeviceNotifier.h"
#include "audio/AudioPlayer.h"
#include "audio/PlayedSoundTap.h"
#include "common/RecordingAudioEngine.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <deque>
#include <future>
#include <limits>

namespace {

class AudioPlayerTest : public ::testing::Test {
protected:
    AudioRecording audio;
    std::shared_ptr<AudioPlayer> player = audio.player();

    // A block whose every sample is `value`, so tests can tell blocks apart.
    void enqueueBlock(std::size_t frames, float value = 0.1f) { player->enqueue(std::vector<float>(frames, value)); }
    std::size_t scheduledCount() const { return audio.current().scheduled.size(); }
    std::uint32_t queued() const { return player->queueState().queuedFrames; }
};

TEST_F(AudioPlayerTest, PrimingHoldsBlocksUntilThreeTenthsOfASecondThenReleasesThemInOrder)
{
    ASSERT_FALSE(player->start(12000.0));
    for (int i = 0; i < 7; ++i)
        enqueueBlock(512, float(i));
    EXPECT_EQ(std::tuple(player->queueState().primingFrames, scheduledCount()), std::tuple(3584u, 0u));
    enqueueBlock(512, 7.0f);
    EXPECT_EQ(std::tuple(player->queueState().primingFrames, queued()), std::tuple(0u, 4096u));
    const auto scheduled = audio.current().scheduled;
    ASSERT_EQ(scheduled.size(), 8u);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(scheduled[i].samples.front(), float(i)) << "arrival order";

    // Once playing, each block is scheduled as it comes.
    enqueueBlock(512, 8.0f);
    EXPECT_EQ(std::tuple(scheduledCount(), queued()), std::tuple(9u, 4608u));

    // 12345.6 × 0.3 = 3703.68, truncated to 3703.
    for (const auto& [frames, released] : {std::pair{3702u, false}, std::pair{3703u, true}}) {
        ASSERT_FALSE(player->start(12345.6));
        enqueueBlock(frames);
        EXPECT_EQ(!player->queueState().isPriming, released) << frames;
    }
}

TEST_F(AudioPlayerTest, OneSecondBoundIsTestedBeforeTheBlockIsCounted)
{
    for (const auto& [queuedBefore, accepted] : {std::pair{12000u, true}, std::pair{12001u, false}}) {
        ASSERT_FALSE(player->start(12000.0));
        enqueueBlock(3600);
        enqueueBlock(queuedBefore - 3600);
        ASSERT_EQ(queued(), queuedBefore);
        const std::size_t scheduledBefore = scheduledCount();
        enqueueBlock(512);
        EXPECT_EQ(std::tuple(queued(), scheduledCount()),
            std::tuple(queuedBefore + (accepted ? 512 : 0), scheduledBefore + (accepted ? 1 : 0)));
    }
    // One block of ten seconds queues only its last second.
    ASSERT_FALSE(player->start(12000.0));
    std::vector<float> tenSeconds(120000, 0.1f);
    tenSeconds.back() = 0.5f;
    const std::size_t scheduledBefore = scheduledCount();
    player->enqueue(tenSeconds);
    const auto scheduled = audio.current().scheduled;
    ASSERT_EQ(scheduled.size(), scheduledBefore + 1);
    EXPECT_EQ(std::tuple(queued(), scheduled.back().samples.size(), scheduled.back().samples.back()),
        std::tuple(12000u, 12000u, 0.5f));
}

// Three hours against a sound card whose clock is 150 ppm fast, then one
// 150 ppm slow, on a simulated clock: the card reads every 10 ms; the server
// sends a 2048-frame block of a 187.5 Hz tone every 2048/12000 s.
TEST_F(AudioPlayerTest, ALongListenFollowsTheCardsClockWithoutDropsUnderrunsOrAudibleChange)
{
    constexpr double rate = 12000.0;
    constexpr std::size_t block = 2048;
    constexpr std::int64_t tickMs = 10;
    constexpr std::int64_t sessionMs = 3 * 3600 * 1000;
    std::vector<float> tone(block);
    for (std::size_t i = 0; i < block; ++i)
        tone[i] = 0.5f * static_cast<float>(std::sin(2 * M_PI * double(i % 64) / 64.0));
    // The tone moves by at most 0.05 a frame; a seam that repeats or skips
    // frames jumps by far more.
    constexpr float largestStep = 0.06f;

    std::int64_t nowMs = 0;
    player = AudioPlayer::create(audio.factory(), audio.lookup(), [&nowMs] {
        return std::chrono::steady_clock::time_point(std::chrono::milliseconds(nowMs));
    });
    for (const double cardError : {150e-6, -150e-6}) {
        SCOPED_TRACE(cardError);
        ASSERT_FALSE(player->start(rate));
        struct Playing {
            std::vector<float> samples;
            std::size_t read = 0;
            AudioEngine::ConsumedCallback consumed;
        };
        std::deque<Playing> card;
        std::size_t cardFrames = 0; // the frames still to play: the true queue
        double cardDebt = 0;
        std::int64_t blocksSent = 0;
        bool primed = false;
        int drops = 0, underruns = 0;
        std::optional<double> target;
        double targetSum = 0;
        int targetCount = 0;
        double worstLevelError = 0, worstPitchError = 0;
        float lastSample = 0, worstStep = 0;

        for (nowMs = 0; nowMs < sessionMs; nowMs += tickMs) {
            while (double(blocksSent * std::int64_t(block)) * 1000.0 / rate <= double(nowMs)) {
                player->enqueue(tone);
                ++blocksSent;
                auto taken = audio.takeScheduled();
                const auto state = player->queueState();
                if (primed && (taken.size() != 1 || state.isPriming))
                    ++drops;
                primed = primed || !state.isPriming;
                for (auto& buffer : taken) {
                    cardFrames += buffer.samples.size();
                    card.push_back({std::move(buffer.samples), 0, std::move(buffer.consumed)});
                }
                if (!primed)
                    continue;
                const double level = double(cardFrames) / rate;
                // The level of the first five seconds is where the queue should stay.
                if (nowMs < 5000) {
                    targetSum += level;
                    ++targetCount;
                    continue;
                }
                if (!target)
                    target = targetSum / targetCount;
                worstLevelError = std::max(worstLevelError, std::abs(level - *target));
            }
            if (!primed)
                continue;
            cardDebt += rate * (1 + cardError) * double(tickMs) / 1000.0;
            // The resampler takes over within the first minutes; later
            // samples are not looked at one by one, to keep the test quick.
            const bool watchSamples = nowMs < 600'000;
            for (; cardDebt >= 1; cardDebt -= 1) {
                if (card.empty()) {
                    ++underruns;
                    cardDebt = 0;
                    break;
                }
                Playing& front = card.front();
                --cardFrames;
                const float sample = front.samples[front.read++];
                if (watchSamples)
                    worstStep = std::max(worstStep, std::abs(sample - lastSample));
                lastSample = sample;
                if (front.read == front.samples.size()) {
                    front.consumed();
                    card.pop_front();
                }
            }
            // The pitch heard: the card's frames per server frame over the ratio.
            worstPitchError = std::max(worstPitchError, std::abs((1 + cardError) / player->resamplingRatio() - 1));
        }
        EXPECT_EQ(drops, 0);
        EXPECT_EQ(underruns, 0);
        EXPECT_LE(worstLevelError, 0.030);
        EXPECT_LE(worstPitchError, 0.0005);
        EXPECT_LE(worstStep, largestStep);
        // The correction has found the card's clock, to a step of the resampler.
        EXPECT_NEAR(player->resamplingRatio(), 1 + cardError, 1.0 / 32768);
    }
}

TEST_F(AudioPlayerTest, CompletionsDrainTheQueueOnlyForTheirOwnGeneration)
{
    ASSERT_FALSE(player->start(12000.0));
    enqueueBlock(4000);
    enqueueBlock(512);
    auto scheduled = audio.takeScheduled();
    ASSERT_EQ(scheduled.size(), 2u);
    scheduled[0].consumed();
    EXPECT_EQ(queued(), 512u);
    scheduled[0].consumed(); // reported again: more than is left
    EXPECT_EQ(std::tuple(queued(), player->queueState().isPriming), std::tuple(0u, true)) << "ran dry";
    // The next late block is held back, not played alone.
    enqueueBlock(512);
    EXPECT_EQ(scheduledCount(), 0u);

    // After a restart, a stop, and with the player gone.
    ASSERT_FALSE(player->start(12000.0));
    enqueueBlock(4000);
    scheduled[1].consumed();
    EXPECT_EQ(queued(), 4000u);
    player->stop();
    audio.takeScheduled()[0].consumed();
    EXPECT_EQ(queued(), 0u);
    ASSERT_FALSE(player->start(12000.0));
    enqueueBlock(4000);
    player.reset();
    audio.takeScheduled()[0].consumed();
}

// What a feed (another program's capture source) is handed.
struct CollectingFeed : PlayedSoundTap {
    std::vector<float> samples;
    void played(std::span<const float> block, double) override { samples.insert(samples.end(), block.begin(), block.end()); }
};

TEST_F(AudioPlayerTest, AFeedTakesTheSoundAsReceivedOrAsPlayedAndMuteSilencesTheSpeakerOnly)
{
    for (const auto point : {AudioPlayer::FeedPoint::received, AudioPlayer::FeedPoint::played}) {
        auto feed = std::make_shared<CollectingFeed>();
        player->setFeed(feed, point);
        ASSERT_FALSE(player->start(12000.0));
        player->setVolume(0.0f);
        // The third block finds the one-second queue full and is dropped.
        enqueueBlock(6000, 0.5f);
        enqueueBlock(6001, 0.5f);
        enqueueBlock(500, 0.5f);
        EXPECT_EQ(audio.current().volume, 0.0f);
        const std::size_t expected = point == AudioPlayer::FeedPoint::received ? 12501u : 12001u;
        ASSERT_EQ(feed->samples.size(), expected);
        EXPECT_EQ(feed->samples.back(), 0.5f) << "the volume is the speaker's";
    }
}

TEST_F(AudioPlayerTest, AnEmptyBlockTakesNoLock)
{
    // A start held midway on another thread owns the player's locks.
    std::promise<void> entered;
    std::promise<void> release;
    audio.setDuringStart([&, released = release.get_future().share()] {
        entered.set_value();
        released.wait();
    });
    auto starting = std::async(std::launch::async, [&] { return player->start(12000.0); });
    entered.get_future().wait();
    auto empty = std::async(std::launch::async, [&] { player->enqueue({}); });
    const bool returned = empty.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    release.set_value();
    starting.get();
    EXPECT_TRUE(returned);
}

// Blocks are dropped while stopped, a restart discards held ones, and failed
// starts leave the player stopped.
TEST_F(AudioPlayerTest, StoppedOrFailedPlayersScheduleNothing)
{
    enqueueBlock(4000); // never started
    ASSERT_FALSE(player->start(12000.0));
    enqueueBlock(1000);
    player->stop();
    EXPECT_EQ(player->queueState().primingFrames, 0u);
    enqueueBlock(4000);
    EXPECT_EQ(scheduledCount(), 0u);
    EXPECT_FALSE(audio.current().running);

    ASSERT_FALSE(player->start(12000.0));
    enqueueBlock(1000);
    ASSERT_FALSE(player->start(12000.0));
    EXPECT_EQ(std::tuple(audio.engineCount(), player->queueState().primingFrames), std::tuple(1u, 0u));

    audio.failStarts(AudioOutputError{QStringLiteral("no such device")});
    EXPECT_EQ(player->start(12000.0).value().description, QStringLiteral("no such device"));
    enqueueBlock(4000);
    EXPECT_EQ(scheduledCount(), 0u);
    audio.failStarts(std::nullopt);
    for (const double rate : {0.0, -12000.0, std::nan(""), std::numeric_limits<double>::infinity(), 1.0e7, 12000.0}) {
        EXPECT_FALSE(player->start(rate)) << rate;
        enqueueBlock(4000);
        EXPECT_EQ(scheduledCount(), rate == 12000.0 ? 1u : 0u) << rate;
    }
}

TEST_F(AudioPlayerTest, TheChosenDeviceAndItsChangesAreFollowedKeepingRateAndVolume)
{
    // Stopped: the device is taken up at the next start.
    audio.select("first");
    AudioDeviceNotifier::instance().post();
    EXPECT_EQ(audio.engineCount(), 1u);
    ASSERT_FALSE(player->start(12000.0));
    ASSERT_EQ(audio.engineCount(), 2u);
    EXPECT_FALSE(audio.engine(0).alive);
    player->setVolume(0.25f);

    // Running: moved at once, at the same rate; the same selection again is nothing.
    audio.select("second");
    AudioDeviceNotifier::instance().post();
    AudioDeviceNotifier::instance().post();
    ASSERT_EQ(audio.engineCount(), 3u);
    const auto moved = audio.current();
    EXPECT_EQ(std::tuple(moved.device, moved.sampleRate, moved.startCount, moved.volume),
        std::tuple(AudioDeviceID("second"), 12000.0, 1, 0.25f));

    audio.select(std::nullopt); // back to the system default
    AudioDeviceNotifier::instance().post();
    EXPECT_EQ(std::tuple(audio.engineCount(), player->routedDeviceID()), std::tuple(4u, std::nullopt));

    // A change of the device's configuration restarts it at the same rate.
    ASSERT_FALSE(player->start(16000.0));
    enqueueBlock(1000);
    const int starts = audio.current().startCount;
    audio.current().configurationChanged();
    QCoreApplication::processEvents();
    EXPECT_EQ(std::tuple(audio.current().startCount, audio.current().sampleRate, player->queueState().primingFrames),
        std::tuple(starts + 1, 16000.0, 0u));

    // A stale engine's report changes nothing; nor does one to a stopped player.
    const auto staleHandler = audio.current().configurationChanged;
    audio.select("second");
    AudioDeviceNotifier::instance().post();
    staleHandler();
    QCoreApplication::processEvents();
    EXPECT_EQ(audio.current().startCount, 1);
    player->stop();
    audio.current().configurationChanged();
    QCoreApplication::processEvents();
    EXPECT_EQ(audio.current().startCount, 1);
}

} // namespace
