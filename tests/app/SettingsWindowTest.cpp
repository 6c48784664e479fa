#include "app/PressAndHoldButton.h"
#include "app/SettingsWindow.h"
#include "audio/AudioDeviceWatcher.h"
#include "bookmarks/Preferences.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace {

std::optional<QByteArray> pactl(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("pactl"), arguments);
    if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    return process.readAllStandardOutput().trimmed();
}

// A sound server to play the tone on, or a skipped test (a failed one when
// the run promised a server).
#define REQUIRE_SOUND_SERVER()                                                             \
    do {                                                                                   \
        if (!pactl({QStringLiteral("info")})) {                                            \
            if (qEnvironmentVariableIsSet("FARLISTEN_REQUIRE_PULSE"))                      \
                FAIL() << "FARLISTEN_REQUIRE_PULSE is set but no sound server answers";    \
            GTEST_SKIP() << "no PulseAudio server reachable";                              \
        }                                                                                  \
    } while (false)

// The options as shown, the chosen one marked with "*".
QStringList optionLines(const SettingsWindow& window)
{
    QStringList lines;
    for (const QRadioButton* option : window.findChildren<QRadioButton*>())
        lines.append(option->isChecked() ? QLatin1Char('*') + option->text() : option->text());
    return lines;
}

QStringList deviceLines(const AudioOutputSettings& settings)
{
    QStringList lines;
    for (const AudioOutputDevice& device : settings.devices())
        lines.append(device.name);
    return lines;
}

QRadioButton* option(const SettingsWindow& window, const QString& text)
{
    for (QRadioButton* button : window.findChildren<QRadioButton*>())
        if (button->text() == text)
            return button;
    return nullptr;
}

// Clicks the option's round indicator, as a person would.
void choose(QRadioButton* button)
{
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

PressAndHoldButton& testButton(const SettingsWindow& window)
{
    return *window.findChild<PressAndHoldButton*>();
}

bool waitFor(const std::function<bool()>& condition, int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > milliseconds)
            return false;
        QTest::qWait(50);
    }
    return true;
}

class SettingsWindowTest : public ::testing::Test {
protected:
    void SetUp() override { Preferences::instance().setAudioOutputDeviceUID(QString()); }
    void TearDown() override { Preferences::instance().setAudioOutputDeviceUID(QString()); }
};

TEST_F(SettingsWindowTest, ListsSystemDefaultThenTheDevices)
{
    AudioOutputSettings settings;
    SettingsWindow window(settings);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Settings"));
    EXPECT_EQ(optionLines(window), QStringList{QStringLiteral("*System Default")} + deviceLines(settings));
    EXPECT_EQ(testButton(window).text(), QStringLiteral("Test"));
    EXPECT_EQ(testButton(window).toolTip(), QStringLiteral("Hold to play a 1 kHz tone through the selected output"));
}

TEST_F(SettingsWindowTest, AGoneDeviceStaysChosenAsUnavailableUntilSomethingElseIs)
{
    AudioOutputSettings settings;
    SettingsWindow window(settings);
    window.show();
    const QStringList devices = deviceLines(settings);

    // The device chosen before is no longer among the outputs.
    settings.setSelectedUID(QStringLiteral("gone_sink"));
    EXPECT_EQ(optionLines(window), QStringList{QStringLiteral("System Default")} + devices
                                       + QStringList{QStringLiteral("*Unavailable Device")});
    EXPECT_EQ(Preferences::instance().audioOutputDeviceUID(), QStringLiteral("gone_sink"));

    choose(option(window, QStringLiteral("System Default")));
    EXPECT_EQ(optionLines(window), QStringList{QStringLiteral("*System Default")} + devices);
    EXPECT_EQ(settings.selectedUID(), QString());
    EXPECT_EQ(Preferences::instance().audioOutputDeviceUID(), QString());

    settings.setSelectedUID(QStringLiteral("gone_sink"));
    QCoreApplication::processEvents();
    QDir dir(QCoreApplication::applicationDirPath());
    dir.mkpath(QStringLiteral("screenshots"));
    EXPECT_TRUE(window.grab().save(dir.filePath(QStringLiteral("screenshots/settings-unavailable.png"))));
}

TEST_F(SettingsWindowTest, ReleasingWithoutAToneChangesNothing)
{
    AudioOutputSettings settings;
    SettingsWindow window(settings);
    window.show();
    QSignalSpy presses(&testButton(window), &PressAndHoldButton::pressChanged);
    QTest::mouseRelease(&testButton(window), Qt::LeftButton);
    EXPECT_EQ(presses.count(), 0);
    EXPECT_FALSE(window.isTestTonePlaying());
}

TEST_F(SettingsWindowTest, TheTonePlaysOnlyWhileTheButtonIsHeld)
{
    REQUIRE_SOUND_SERVER();
    AudioOutputSettings settings;
    SettingsWindow window(settings);
    window.show();
    PressAndHoldButton& button = testButton(window);
    QSignalSpy presses(&button, &PressAndHoldButton::pressChanged);

    QTest::mousePress(&button, Qt::LeftButton);
    EXPECT_TRUE(window.isTestTonePlaying());
    QTest::mouseRelease(&button, Qt::LeftButton);
    EXPECT_FALSE(window.isTestTonePlaying());
    // Quickly again: a click is a press and a release, nothing more.
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_FALSE(window.isTestTonePlaying());
    ASSERT_EQ(presses.count(), 4);
    EXPECT_EQ(presses.at(0).front().toBool(), true);
    EXPECT_EQ(presses.at(1).front().toBool(), false);
}

TEST_F(SettingsWindowTest, ChangingTheOutputOrClosingTheWindowStopsAHeldTone)
{
    REQUIRE_SOUND_SERVER();
    AudioOutputSettings settings;
    SettingsWindow window(settings);
    window.show();
    PressAndHoldButton& button = testButton(window);

    QTest::mousePress(&button, Qt::LeftButton);
    ASSERT_TRUE(window.isTestTonePlaying());
    settings.setSelectedUID(QStringLiteral("gone_sink"));
    EXPECT_FALSE(window.isTestTonePlaying());
    QTest::mouseRelease(&button, Qt::LeftButton);

    settings.setSelectedUID(QString());
    QTest::mousePress(&button, Qt::LeftButton);
    ASSERT_TRUE(window.isTestTonePlaying());
    window.close();
    EXPECT_FALSE(window.isTestTonePlaying());
}

TEST_F(SettingsWindowTest, AnUnpluggedDeviceIsShownAsUnavailable)
{
    REQUIRE_SOUND_SERVER();
    const QString sink = QStringLiteral("farlisten_settings_sink");
    const std::optional<QByteArray> module =
        pactl({QStringLiteral("load-module"), QStringLiteral("module-null-sink"), QStringLiteral("sink_name=") + sink,
               QStringLiteral("sink_properties=device.description=SettingsSink")});
    ASSERT_TRUE(module.has_value());
    // The device list is read about once a second. The settings object reads
    // its first list itself, so the watcher must have seen the new device
    // too, or it could miss the device going away again.
    ASSERT_TRUE(waitFor(
        [&] {
            const QList<AudioOutputDevice> devices = AudioDeviceWatcher::instance().devices();
            return std::any_of(devices.cbegin(), devices.cend(),
                               [&](const AudioOutputDevice& device) { return device.uid == sink; });
        },
        5000));

    AudioOutputSettings settings;
    SettingsWindow window(settings);
    window.show();
    ASSERT_NE(option(window, QStringLiteral("SettingsSink")), nullptr);
    choose(option(window, QStringLiteral("SettingsSink")));
    EXPECT_EQ(settings.selectedUID(), sink);
    EXPECT_TRUE(option(window, QStringLiteral("SettingsSink"))->isChecked());

    pactl({QStringLiteral("unload-module"), QString::fromLatin1(*module)});
    ASSERT_TRUE(waitFor([&] { return option(window, QStringLiteral("SettingsSink")) == nullptr; }, 5000));
    QRadioButton* unavailable = option(window, QStringLiteral("Unavailable Device"));
    ASSERT_NE(unavailable, nullptr);
    EXPECT_TRUE(unavailable->isChecked());
    EXPECT_EQ(optionLines(window).back(), QStringLiteral("*Unavailable Device"));
    EXPECT_EQ(Preferences::instance().audioOutputDeviceUID(), sink);
}

} // namespace
