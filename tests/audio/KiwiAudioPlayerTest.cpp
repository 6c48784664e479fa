#include "audio/AudioDeviceNotifier.h"
#include "audio/KiwiAudioPlayer.h"
#include "common/RecordingAudioEngine.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <future>
#include <limits>

namespace {

class KiwiAudioPlayerTest : public ::testing::Test {
protected:
    AudioRecording audio;
    std::shared_ptr<KiwiAudioPlayer> player = audio.player();

    // A block whose every sample is `value`, so tests can tell blocks apart.
    void enqueueBlock(std::size_t frames, float value = 0.1f) { player->enqueue(std::vector<float>(frames, value)); }
    std::size_t scheduledCount() const { return audio.current().scheduled.size(); }
    std::uint32_t queued() const { return player->queueState().queuedFrames; }
};

TEST_F(KiwiAudioPlayerTest, PrimingHoldsBlocksUntilThreeTenthsOfASecondThenReleasesThemInOrder)
{
    ASSERT_FALSE(player->start(12000.0));
    for (int i = 0; i < 7; ++i)
        enqueueBlock(512, float(i));
    EXPECT_EQ(player->queueState().primingFrames, 3584u);
    EXPECT_EQ(scheduledCount(), 0u);
    enqueueBlock(512, 7.0f);
    EXPECT_EQ(player->queueState().primingFrames, 0u);
    EXPECT_EQ(queued(), 4096u);
    const auto scheduled = audio.current().scheduled;
    ASSERT_EQ(scheduled.size(), 8u);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(scheduled[i].samples.front(), float(i)) << "arrival order";

    // Once playing, each block is scheduled as it comes.
    enqueueBlock(512, 8.0f);
    EXPECT_EQ(scheduledCount(), 9u);
    EXPECT_EQ(queued(), 4608u);

    // 12345.6 × 0.3 = 3703.68, truncated to 3703.
    for (const auto& [frames, released] : {std::pair{3702u, false}, std::pair{3703u, true}}) {
        ASSERT_FALSE(player->start(12345.6));
        enqueueBlock(frames);
        EXPECT_EQ(!player->queueState().isPriming, released) << frames;
    }
}

TEST_F(KiwiAudioPlayerTest, OneSecondBoundIsTestedBeforeTheBlockIsCounted)
{
    for (const auto& [queuedBefore, accepted] : {std::pair{12000u, true}, std::pair{12001u, false}}) {
        ASSERT_FALSE(player->start(12000.0));
        enqueueBlock(3600);
        enqueueBlock(queuedBefore - 3600);
        ASSERT_EQ(queued(), queuedBefore);
        const std::size_t scheduledBefore = scheduledCount();
        enqueueBlock(512);
        EXPECT_EQ(queued(), accepted ? queuedBefore + 512 : queuedBefore);
        EXPECT_EQ(scheduledCount(), scheduledBefore + (accepted ? 1 : 0));
    }
    // One block of ten seconds queues only its last second.
    ASSERT_FALSE(player->start(12000.0));
    std::vector<float> tenSeconds(120000, 0.1f);
    tenSeconds.back() = 0.5f;
    const std::size_t scheduledBefore = scheduledCount();
    player->enqueue(tenSeconds);
    EXPECT_EQ(queued(), 12000u);
    const auto scheduled = audio.current().scheduled;
    ASSERT_EQ(scheduled.size(), scheduledBefore + 1);
    EXPECT_EQ(scheduled.back().samples.size(), 12000u);
    EXPECT_EQ(scheduled.back().samples.back(), 0.5f);
}

TEST_F(KiwiAudioPlayerTest, CompletionsDrainTheQueueOnlyForTheirOwnGeneration)
{
    ASSERT_FALSE(player->start(12000.0));
    enqueueBlock(4000);
    enqueueBlock(512);
    auto scheduled = audio.takeScheduled();
    ASSERT_EQ(scheduled.size(), 2u);
    scheduled[0].consumed();
    EXPECT_EQ(queued(), 512u);
    scheduled[0].consumed(); // reported again: more than is left
    EXPECT_EQ(queued(), 0u);
    EXPECT_TRUE(player->queueState().isPriming) << "ran dry";
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

TEST_F(KiwiAudioPlayerTest, BlocksAreDroppedWhileStoppedAndARestartDiscardsHeldOnes)
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
    EXPECT_EQ(audio.engineCount(), 1u);
    EXPECT_EQ(player->queueState().primingFrames, 0u);
}

TEST_F(KiwiAudioPlayerTest, AnEmptyBlockTakesNoLock)
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
    audio.setDuringStart(nullptr);
}

TEST_F(KiwiAudioPlayerTest, FailedStartsLeaveThePlayerStopped)
{
    audio.failStarts(AudioOutputError{QStringLiteral("no such device")});
    const auto error = player->start(12000.0);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->description, QStringLiteral("no such device"));
    enqueueBlock(4000);
    EXPECT_EQ(scheduledCount(), 0u);
    audio.failStarts(std::nullopt);
    for (const double rate : {0.0, -12000.0, std::nan(""), std::numeric_limits<double>::infinity(), 1.0e7, 12000.0}) {
        EXPECT_FALSE(player->start(rate)) << rate;
        enqueueBlock(4000);
        EXPECT_EQ(scheduledCount(), rate == 12000.0 ? 1u : 0u) << rate;
    }
}

TEST_F(KiwiAudioPlayerTest, TheChosenDeviceIsFollowedWithOneNewEngineKeepingTheVolume)
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
    EXPECT_EQ(audio.current().device, AudioDeviceID("second"));
    EXPECT_EQ(audio.current().sampleRate, 12000.0);
    EXPECT_EQ(audio.current().startCount, 1);
    EXPECT_EQ(audio.current().volume, 0.25f);

    audio.select(std::nullopt); // back to the system default
    AudioDeviceNotifier::instance().post();
    EXPECT_EQ(audio.engineCount(), 4u);
    EXPECT_FALSE(player->routedDeviceID());
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
