#include "app/PressAndHoldButton.h"
#include "app/SettingsWindow.h"
#include "audio/AudioDeviceWatcher.h"
#include "audio/PulseAudioTestSupport.h"
#include "bookmarks/Preferences.h"
#include "display/DisplayTestSupport.h"

#include <QRadioButton>
#include <QSignalSpy>

namespace {

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

class SettingsWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Preferences::instance().setAudioOutputDeviceUID(QString());
        window.show();
    }
    void TearDown() override { Preferences::instance().setAudioOutputDeviceUID(QString()); }

    PressAndHoldButton& testButton() { return *window.findChild<PressAndHoldButton*>(); }

    AudioOutputSettings settings;
    SettingsWindow window{settings};
};

TEST_F(SettingsWindowTest, AGoneDeviceStaysChosenAsUnavailableUntilSomethingElseIs)
{
    const QStringList devices = deviceLines(settings);
    EXPECT_EQ(optionLines(window), QStringList{QStringLiteral("*System Default")} + devices);
    EXPECT_EQ(testButton().toolTip(), QStringLiteral("Hold to play a 1 kHz tone through the selected output"));

    settings.setSelectedUID(QStringLiteral("gone_sink"));
    EXPECT_EQ(optionLines(window), QStringList{QStringLiteral("System Default")} + devices
                                       + QStringList{QStringLiteral("*Unavailable Device")});
    EXPECT_EQ(Preferences::instance().audioOutputDeviceUID(), QStringLiteral("gone_sink"));

    choose(option(window, QStringLiteral("System Default")));
    EXPECT_EQ(optionLines(window), QStringList{QStringLiteral("*System Default")} + devices);
    EXPECT_EQ(Preferences::instance().audioOutputDeviceUID(), QString());

    settings.setSelectedUID(QStringLiteral("gone_sink"));
    QCoreApplication::processEvents();
    saveScreenshot(window, QStringLiteral("settings-unavailable.png"));
}

TEST_F(SettingsWindowTest, TheTonePlaysOnlyWhileTheButtonIsHeld)
{
    QSignalSpy presses(&testButton(), &PressAndHoldButton::pressChanged);
    // A release without a press changes nothing.
    QTest::mouseRelease(&testButton(), Qt::LeftButton);
    EXPECT_EQ(presses.count(), 0);
    REQUIRE_PULSEAUDIO();

    QTest::mousePress(&testButton(), Qt::LeftButton);
    EXPECT_TRUE(window.isTestTonePlaying());
    QTest::mouseRelease(&testButton(), Qt::LeftButton);
    EXPECT_FALSE(window.isTestTonePlaying());
    QTest::mouseClick(&testButton(), Qt::LeftButton);
    EXPECT_FALSE(window.isTestTonePlaying());
    ASSERT_EQ(presses.count(), 4);
    EXPECT_TRUE(presses.at(0).front().toBool());
    EXPECT_FALSE(presses.at(1).front().toBool());

    // Changing the output or closing the window stops a held tone.
    QTest::mousePress(&testButton(), Qt::LeftButton);
    ASSERT_TRUE(window.isTestTonePlaying());
    settings.setSelectedUID(QStringLiteral("gone_sink"));
    EXPECT_FALSE(window.isTestTonePlaying());
    QTest::mouseRelease(&testButton(), Qt::LeftButton);
    settings.setSelectedUID(QString());
    QTest::mousePress(&testButton(), Qt::LeftButton);
    ASSERT_TRUE(window.isTestTonePlaying());
    window.close();
    EXPECT_FALSE(window.isTestTonePlaying());
}

TEST(SettingsWindowDeviceTest, AnUnpluggedDeviceIsShownAsUnavailable)
{
    REQUIRE_PULSEAUDIO();
    Preferences::instance().setAudioOutputDeviceUID(QString());
    const QString uid = QStringLiteral("farlisten_settings_sink");
    pulsetest::NullSink sink(uid, QStringLiteral("SettingsSink"));
    ASSERT_TRUE(sink.loaded());
    // The watcher must have seen the device too, or it could miss it going away again.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const QList<AudioOutputDevice> devices = AudioDeviceWatcher::instance().devices();
            return std::any_of(devices.cbegin(), devices.cend(),
                               [&](const AudioOutputDevice& device) { return device.uid == uid; });
        },
        5000));

    AudioOutputSettings settings;
    SettingsWindow window(settings);
    window.show();
    choose(option(window, QStringLiteral("SettingsSink")));
    EXPECT_EQ(settings.selectedUID(), uid);

    sink.unload();
    ASSERT_TRUE(QTest::qWaitFor([&] { return option(window, QStringLiteral("SettingsSink")) == nullptr; }, 5000));
    EXPECT_EQ(optionLines(window).back(), QStringLiteral("*Unavailable Device"));
    EXPECT_EQ(Preferences::instance().audioOutputDeviceUID(), uid);
    Preferences::instance().setAudioOutputDeviceUID(QString());
}

} // namespace
