#include "audio/AudioDeviceNotifier.h"
#include "audio/AudioOutputDevices.h"
#include "audio/AudioOutputSettings.h"
#include "audio/AudioPlayer.h"
#include "audio/TestTonePlayer.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(AudioOutputSettings, AbsentDeviceIsForgottenAtStartUpAndEveryChangeIsAnnouncedOnce)
{
    AudioOutputSettings settings(QStringLiteral("unplugged-device"));
    EXPECT_EQ(settings.selectedUID(), QString());
    const OutputDeviceLookup lookup = settings.deviceLookup();
    int announcements = 0;
    QObject receiver;
    QObject::connect(&AudioDeviceNotifier::instance(), &AudioDeviceNotifier::audioOutputDeviceDidChange, &receiver,
                     [&] { ++announcements; });
    QSignalSpy changes(&settings, &AudioOutputSettings::selectedUIDChanged);
    settings.setSelectedUID("some-device");
    settings.setSelectedUID("some-device");
    EXPECT_EQ(std::tuple(settings.selectedUID(), announcements, changes.count()), std::tuple("some-device", 1, 1));
    // A device that is not among the outputs is no device.
    EXPECT_EQ(std::tuple(settings.selectedDeviceID(), lookup()), std::tuple(std::nullopt, std::nullopt));
    settings.setSelectedUID(QString());
    EXPECT_EQ(announcements, 2);
}

constexpr const char* childMarker = "FARLISTEN_NO_SOUND_SERVER_CHILD";

// Runs only in the child process below, whose client can reach no sound server.
TEST(AudioWithoutSoundServer, DISABLED_ChildProcessChecks)
{
    if (!qEnvironmentVariableIsSet(childMarker))
        GTEST_SKIP() << "runs only as the child of StartFailsCleanlyAndNothingHangs";
    EXPECT_TRUE(enumerateOutputDevices().isEmpty());

    const auto player = AudioPlayer::create();
    EXPECT_FALSE(player->start(12000.0).value().description.isEmpty());
    player->enqueue(std::vector<float>(4000, 0.5f));
    EXPECT_EQ(player->queueState().primingFrames, 0u);

    TestTonePlayer tone;
    tone.start(std::nullopt);
    EXPECT_FALSE(tone.isPlaying());

    AudioOutputSettings settings;
    EXPECT_TRUE(settings.devices().isEmpty());
    EXPECT_EQ(settings.selectedUID(), QString());
}

TEST(AudioWithoutSoundServer, StartFailsCleanlyAndNothingHangs)
{
    QTemporaryDir runtime;
    QFile clientConfig(runtime.filePath("client.conf"));
    ASSERT_TRUE(clientConfig.open(QIODevice::WriteOnly) && clientConfig.write("autospawn = no\n") > 0);
    clientConfig.close();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] : {std::pair<QString, QString>{childMarker, "1"},
                                      {"XDG_RUNTIME_DIR", runtime.path()},
                                      {"PULSE_SERVER", "unix:" + runtime.filePath("none")},
                                      {"PULSE_CLIENTCONFIG", clientConfig.fileName()}})
        environment.insert(name, value);
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {"--gtest_filter=AudioWithoutSoundServer.DISABLED_ChildProcessChecks",
                 "--gtest_also_run_disabled_tests"});
    ASSERT_TRUE(child.waitForStarted(10000));
    const bool finished = child.waitForFinished(120000);
    if (!finished)
        child.kill();
    const QByteArray output = child.readAll();
    ASSERT_TRUE(finished) << "the child hung:\n" << output.toStdString();
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
    EXPECT_FALSE(output.contains("SKIPPED")) << output.toStdString();
}

} // namespace
