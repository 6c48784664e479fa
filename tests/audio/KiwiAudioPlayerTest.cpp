#include "audio/AudioDeviceNotifier.h"
#include "audio/KiwiAudioPlayer.h"
#include "common/RecordingAudioEngine.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <future>
#include <limits>
#include <thread>

namespace {

class KiwiAudioPlayerTest : public ::testing::Test {
protected:
    AudioRecording audio;
    std::shared_ptr<KiwiAudioPlayer> player = audio.player();

    // A block whose every sample is `value`, so tests can tell blocks apart.
    void enqueueBlock(std::size_t frames, float value = 0.1f)
    {
        const std::vector<float> block(frames, value);
        player->enqueue(block);
    }
    // Consumes every buffer scheduled so far, in order.
    void consumeAll()
    {
        for (auto& buffer : audio.takeScheduled())
            buffer.consumed();
    }
};

TEST_F(KiwiAudioPlayerTest, PrimingHoldsSevenBlocksAndTheEighthReleasesAll)
{
    ASSERT_FALSE(player->start(12000.0));
    for (int i = 0; i < 7; ++i)
        enqueueBlock(512, float(i));
    EXPECT_EQ(player->queueState().primingFrames, 3584u);
    EXPECT_TRUE(audio.current().scheduled.empty());

    enqueueBlock(512, 7.0f);
    const auto state = player->queueState();
    EXPECT_FALSE(state.isPriming);
    EXPECT_EQ(state.primingFrames, 0u);
    EXPECT_EQ(state.queuedFrames, 4096u);
    ASSERT_EQ(audio.current().scheduled.size(), 8u);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(audio.current().scheduled[i].samples.front(), float(i)) << "arrival order";

    // Once playing, each block is scheduled as it comes.
    enqueueBlock(512, 8.0f);
    EXPECT_EQ(audio.current().scheduled.size(), 9u);
    EXPECT_EQ(player->queueState().queuedFrames, 4608u);

    // A fractional threshold is truncated.
    struct Case {
        double rate;
        std::size_t frames;
        bool released;
    };
    // 12345.6 × 0.3 = 3703.68, truncated to 3703.
    for (const Case c : {Case{12345.6, 3702, false}, Case{12345.6, 3703, true}}) {
        ASSERT_FALSE(player->start(c.rate));
        enqueueBlock(c.frames);
        EXPECT_EQ(!player->queueState().isPriming, c.released) << c.rate << " Hz, " << c.frames;
    }
}

TEST_F(KiwiAudioPlayerTest, OneSecondBoundIsTestedBeforeTheBlockIsCounted)
{
    struct Case {
        std::size_t queuedBefore;
        bool accepted;
    };
    for (const Case c : {Case{12000, true}, Case{12001, false}}) {
        ASSERT_FALSE(player->start(12000.0));
        enqueueBlock(3600);
        enqueueBlock(c.queuedBefore - 3600);
        ASSERT_EQ(player->queueState().queuedFrames, c.queuedBefore);
        ASSERT_EQ(player->queueState().primingFrames, 0u);
        const std::size_t scheduledBefore = audio.current().scheduled.size();
        enqueueBlock(512);
        EXPECT_EQ(player->queueState().queuedFrames, c.accepted ? c.queuedBefore + 512 : c.queuedBefore);
        EXPECT_EQ(audio.current().scheduled.size(), scheduledBefore + (c.accepted ? 1 : 0));
    }

    // An oversized block is taken into an empty queue, and then the queue refuses.
    ASSERT_FALSE(player->start(1000.0));
    audio.takeScheduled();
    enqueueBlock(1500);
    enqueueBlock(10);
    EXPECT_EQ(player->queueState().queuedFrames, 1500u);
    EXPECT_EQ(audio.current().scheduled.size(), 1u);
}

TEST_F(KiwiAudioPlayerTest, CompletionsDrainTheQueueAndReArmPriming)
{
    ASSERT_FALSE(player->start(12000.0));
    enqueueBlock(4000);
    enqueueBlock(512);
    auto scheduled = audio.current().scheduled;
    ASSERT_EQ(scheduled.size(), 2u);
    scheduled[0].consumed();
    EXPECT_EQ(player->queueState().queuedFrames, 512u);
    scheduled[1].consumed();
    EXPECT_EQ(player->queueState().queuedFrames, 0u);
    EXPECT_TRUE(player->queueState().isPriming);

    // The next late block is held back, not played alone.
    enqueueBlock(512);
    EXPECT_EQ(audio.current().scheduled.size(), 2u);
    EXPECT_EQ(player->queueState().primingFrames, 512u);
}

TEST_F(KiwiAudioPlayerTest, OverReportedCompletionsStopAtZero)
{
    ASSERT_FALSE(player->start(12000.0));
    enqueueBlock(3600);
    enqueueBlock(100);
    auto scheduled = audio.current().scheduled;
    ASSERT_EQ(scheduled.size(), 2u);
    scheduled[0].consumed(); // 3600 of 3700
    scheduled[0].consumed(); // reported again: 3600 more than the 100 left
    const auto state = player->queueState();
    EXPECT_EQ(state.queuedFrames, 0u);
    EXPECT_TRUE(state.isPriming);
}

TEST_F(KiwiAudioPlayerTest, CompletionsOfAnEarlierGenerationChangeNothing)
{
    ASSERT_FALSE(player->start(12000.0));
    enqueueBlock(4000);
    auto stale = audio.takeScheduled();
    ASSERT_EQ(stale.size(), 1u);

    // After a restart.
    ASSERT_FALSE(player->start(12000.0));
    enqueueBlock(4000);
    stale[0].consumed();
    EXPECT_EQ(player->queueState().queuedFrames, 4000u);
    EXPECT_FALSE(player->queueState().isPriming);

    // After a stop.
    auto stale2 = audio.takeScheduled();
    player->stop();
    stale2[0].consumed();
    EXPECT_EQ(player->queueState().queuedFrames, 0u);

    // After the player is gone.
    ASSERT_FALSE(player->start(12000.0));
    enqueueBlock(4000);
    auto stale3 = audio.takeScheduled();
    player.reset();
    stale3[0].consumed();
}

TEST_F(KiwiAudioPlayerTest, BlocksAreDroppedWhileStopped)
{
    enqueueBlock(4000); // never started
    EXPECT_TRUE(audio.current().scheduled.empty());
    EXPECT_EQ(player->queueState().primingFrames, 0u);

    ASSERT_FALSE(player->start(12000.0));
    enqueueBlock(1000);
    player->stop();
    EXPECT_EQ(player->queueState().primingFrames, 0u) << "stop discards held blocks";
    enqueueBlock(4000);
    EXPECT_TRUE(audio.current().scheduled.empty());
    EXPECT_FALSE(audio.current().running);

    // Starting twice restarts cleanly on the same engine.
    ASSERT_FALSE(player->start(12000.0));
    enqueueBlock(1000);
    ASSERT_FALSE(player->start(12000.0));
    EXPECT_EQ(audio.engineCount(), 1u);
    EXPECT_EQ(player->queueState().sampleRate, 12000.0);
    EXPECT_EQ(player->queueState().primingFrames, 0u);
}

TEST_F(KiwiAudioPlayerTest, AnEmptyBlockTakesNoLock)
{
    // A start held midway on another thread owns the player's locks.
    std::promise<void> entered;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    audio.setDuringStart([&] {
        entered.set_value();
        released.wait();
    });
    auto starting = std::async(std::launch::async, [&] { return player->start(12000.0); });
    entered.get_future().wait();

    auto empty = std::async(std::launch::async, [&] { player->enqueue({}); });
    const bool returned = empty.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    release.set_value();
    starting.get();
    empty.get();
    EXPECT_TRUE(returned);
    audio.setDuringStart(nullptr);
    EXPECT_EQ(player->queueState().primingFrames, 0u);
}

TEST_F(KiwiAudioPlayerTest, FailedStartsLeaveThePlayerStopped)
{
    for (const double rate : {0.0, -12000.0, std::nan(""), std::numeric_limits<double>::infinity(), 1.0e7}) {
        EXPECT_FALSE(player->start(rate)) << rate;
        EXPECT_FALSE(player->queueState().sampleRate) << rate;
        enqueueBlock(4000);
        EXPECT_TRUE(audio.current().scheduled.empty()) << rate;
    }

    // An engine error is passed on and leaves the player stopped.
    audio.failStarts(AudioOutputError{QStringLiteral("no such device")});
    const auto error = player->start(12000.0);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->description, QStringLiteral("no such device"));
    enqueueBlock(4000);
    EXPECT_TRUE(audio.current().scheduled.empty());

    audio.failStarts(std::nullopt);
    EXPECT_FALSE(player->start(12000.0));
    enqueueBlock(4000);
    EXPECT_EQ(audio.current().scheduled.size(), 1u);
}

TEST_F(KiwiAudioPlayerTest, DeviceChangeReplacesTheEngineOnceAndKeepsTheVolume)
{
    ASSERT_FALSE(player->start(12000.0));
    player->setVolume(0.25f);

    audio.select("second");
    AudioDeviceNotifier::instance().post();
    ASSERT_EQ(audio.engineCount(), 2u);
    EXPECT_FALSE(audio.engine(0).alive);
    EXPECT_EQ(audio.current().device, AudioDeviceID("second"));
    EXPECT_EQ(audio.current().sampleRate, 12000.0) << "moved while running";
    EXPECT_EQ(player->volume(), 0.25f);

    AudioDeviceNotifier::instance().post(); // same selection: nothing
    EXPECT_EQ(audio.engineCount(), 2u);
    EXPECT_EQ(audio.current().startCount, 1);

    audio.select(std::nullopt); // back to the system default
    AudioDeviceNotifier::instance().post();
    ASSERT_EQ(audio.engineCount(), 3u);
    EXPECT_FALSE(player->routedDeviceID());
    EXPECT_EQ(player->volume(), 0.25f);
}

TEST_F(KiwiAudioPlayerTest, StoppedPlayerPicksTheDeviceUpAtItsNextStart)
{
    audio.select("second");
    AudioDeviceNotifier::instance().post();
    EXPECT_EQ(audio.engineCount(), 1u);
    ASSERT_FALSE(player->start(12000.0));
    ASSERT_EQ(audio.engineCount(), 2u);
    EXPECT_EQ(audio.current().device, AudioDeviceID("second"));
    ASSERT_FALSE(player->start(12000.0));
    EXPECT_EQ(audio.engineCount(), 2u) << "unchanged selection keeps the engine";
}

TEST_F(KiwiAudioPlayerTest, ConfigurationChangeRestartsAtTheSameRate)
{
    ASSERT_FALSE(player->start(16000.0));
    enqueueBlock(1000);
    audio.current().configurationChanged();
    QCoreApplication::processEvents();
    EXPECT_EQ(audio.current().startCount, 2);
    EXPECT_EQ(audio.current().sampleRate, 16000.0);
    EXPECT_EQ(player->queueState().primingFrames, 0u);

    // A stale engine's report changes nothing.
    auto staleHandler = audio.current().configurationChanged;
    audio.select("second");
    AudioDeviceNotifier::instance().post();
    staleHandler();
    QCoreApplication::processEvents();
    EXPECT_EQ(audio.current().startCount, 1);

    player->stop();
    audio.current().configurationChanged();
    QCoreApplication::processEvents();
    EXPECT_EQ(audio.current().startCount, 1) << "a stopped player stays stopped";
}

} // namespace
