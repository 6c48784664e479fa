#include "common/PulseAudioTestSupport.h"

#include "audio/AudioDeviceNotifier.h"
#include "audio/AudioOutputSettings.h"
#include "audio/AudioPlayer.h"
#include "audio/TestTonePlayer.h"

#include <QCoreApplication>
#include <QTest>

namespace {

constexpr double playerRate = 12000.0;
constexpr double playerAmplitude = 0.5;

// One second of 1 kHz, in the 512-sample blocks a receiver sends, waiting
// until the player has handed everything on, plus the slack a null sink needs.
void playOneSecondOfTone(AudioPlayer& player)
{
    const std::vector<float> tone = pulsetest::sine(1000.0, playerAmplitude, playerRate, std::size_t(playerRate));
    for (std::size_t at = 0; at < tone.size(); at += 512)
        player.enqueue(std::span<const float>(tone).subspan(at, std::min<std::size_t>(512, tone.size() - at)));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline && player.queueState().queuedFrames > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
}

void expectTone(const std::vector<float>& heard, double amplitude, double minimumSeconds, double maximumSeconds = 1e9)
{
    const pulsetest::Tone tone = pulsetest::analyse(heard);
    EXPECT_LE(tone.seconds, maximumSeconds) << "nothing is played twice";
    EXPECT_GE(tone.seconds, minimumSeconds);
    EXPECT_NEAR(tone.hz, 1000.0, 5.0);
    EXPECT_NEAR(tone.rms, amplitude / std::sqrt(2.0), 0.05 * amplitude / std::sqrt(2.0));
    EXPECT_LE(tone.peak, amplitude * 1.05);
}

bool listed(const AudioOutputSettings& settings, const QString& uid)
{
    return std::ranges::any_of(settings.devices(), [&](const AudioOutputDevice& device) { return device.uid == uid; });
}

// Both sinks are the test's own, so other tests playing cannot disturb it.
TEST(SoundLeavesProcess, ToneReachesTheChosenDeviceAndFollowsTheChoice)
{
    REQUIRE_PULSEAUDIO();
    const QString firstName = QStringLiteral("farlisten_first_%1").arg(QCoreApplication::applicationPid());
    const QString secondName = QStringLiteral("farlisten_second_%1").arg(QCoreApplication::applicationPid());
    pulsetest::NullSink first(firstName, QStringLiteral("FarlistenFirst"));
    ASSERT_TRUE(first.loaded());

    AudioOutputSettings settings;
    int announcements = 0;
    QObject receiver;
    QObject::connect(&AudioDeviceNotifier::instance(), &AudioDeviceNotifier::audioOutputDeviceDidChange,
                     &receiver, [&] { ++announcements; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return listed(settings, firstName); }, 10000));
    settings.setSelectedUID(firstName);

    const auto player = AudioPlayer::create(settings.deviceLookup());
    const auto error = player->start(playerRate);
    ASSERT_FALSE(error) << error->description.toStdString();
    ASSERT_EQ(player->routedDeviceID(), firstName.toUtf8());
    {
        pulsetest::MonitorRecording onFirst(firstName);
        ASSERT_TRUE(onFirst.waitUntilRecording());
        playOneSecondOfTone(*player);
        expectTone(onFirst.finish(), playerAmplitude, 0.8, 1.2);
    }

    // A device appears: announced within a few seconds; choosing it moves the
    // running output there.
    announcements = 0;
    pulsetest::NullSink second(secondName, QStringLiteral("FarlistenSecond"));
    ASSERT_TRUE(second.loaded());
    EXPECT_TRUE(QTest::qWaitFor([&] { return announcements > 0 && listed(settings, secondName); }, 10000));
    settings.setSelectedUID(secondName);
    ASSERT_EQ(player->routedDeviceID(), secondName.toUtf8()) << "the running player moved";
    {
        pulsetest::MonitorRecording onFirst(firstName);
        pulsetest::MonitorRecording onSecond(secondName);
        ASSERT_TRUE(onFirst.waitUntilRecording());
        ASSERT_TRUE(onSecond.waitUntilRecording());
        playOneSecondOfTone(*player);
        expectTone(onSecond.finish(), playerAmplitude, 0.8);
        const std::vector<float> quiet = onFirst.finish();
        EXPECT_LT(pulsetest::rmsOf(quiet.data(), quiet.size()), 0.001) << "nothing on the first device";
    }
    player->stop();

    {
        pulsetest::MonitorRecording onSecond(secondName);
        ASSERT_TRUE(onSecond.waitUntilRecording());
        TestTonePlayer testTone;
        testTone.start(settings.selectedDeviceID());
        ASSERT_TRUE(testTone.isPlaying());
        std::this_thread::sleep_for(std::chrono::milliseconds(3000));
        testTone.stop();
        EXPECT_FALSE(testTone.isPlaying());
        expectTone(onSecond.finish(), 0.4, 0.5);
    }

    // The chosen device goes away: announced, the choice stays, and a start
    // falls back to the system default.
    const int before = announcements;
    second.unload();
    EXPECT_TRUE(QTest::qWaitFor([&] { return announcements > before && !listed(settings, secondName); }, 10000));
    EXPECT_EQ(settings.selectedUID(), secondName);
    ASSERT_FALSE(player->start(playerRate));
    EXPECT_FALSE(player->routedDeviceID());
    player->stop();
    settings.setSelectedUID(QString());
}

// The player's stream lives on a connection of its own: a server that went
// away under it is reached again by the next start, with no restart of the
// program.
TEST(SoundLeavesProcess, AStartAfterTheSoundServerCameBackPlaysAgain)
{
    pulsetest::OwnSoundServer server;
    if (!server.start())
        GTEST_SKIP() << "no PulseAudio daemon to start";
    const auto player = AudioPlayer::create();
    const auto error = player->start(playerRate);
    ASSERT_FALSE(error) << error->description.toStdString();
    server.kill();
    // The player hears of the loss on the main thread, and tries again there.
    QTest::qWait(500);
    EXPECT_TRUE(player->start(playerRate).has_value()) << "no server, no sound";

    ASSERT_TRUE(server.start());
    const auto again = player->start(playerRate);
    ASSERT_FALSE(again) << again->description.toStdString();
    pulsetest::MonitorRecording onOwn(QStringLiteral("own_sink"));
    ASSERT_TRUE(onOwn.waitUntilRecording());
    playOneSecondOfTone(*player);
    expectTone(onOwn.finish(), playerAmplitude, 0.8, 1.2);
    player->stop();
}

} // namespace
