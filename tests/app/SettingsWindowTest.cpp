#include "AppTestSupport.h"
#include "app/Application.h"
#include "app/PressAndHoldButton.h"
#include "app/RecordingController.h"
#include "app/SettingsWindow.h"
#include "audio/AudioDeviceWatcher.h"
#include "common/PulseAudioTestSupport.h"
#include "settings/Preferences.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QLabel>
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
    void SetUp() override { window.show(); }

    PressAndHoldButton& testButton() { return *window.findChild<PressAndHoldButton*>(); }

    AudioOutputSettings settings;
    SettingsWindow window{settings, Preferences::instance()};
};

TEST_F(SettingsWindowTest, AGoneDeviceStaysChosenAsUnavailableUntilSomethingElseIs)
{
    QStringList devices;
    for (const AudioOutputDevice& device : settings.devices())
        devices.append(device.name);
    EXPECT_EQ(optionLines(window), QStringList{"*System Default"} + devices);

    settings.setSelectedUID("gone_sink");
    EXPECT_EQ(optionLines(window), QStringList{"System Default"} + devices + QStringList{"*Unavailable Device"});

    choose(option(window, "System Default"));
    EXPECT_EQ(optionLines(window), QStringList{"*System Default"} + devices);
    EXPECT_EQ(settings.selectedUID(), QString());
}

TEST_F(SettingsWindowTest, TheTonePlaysOnlyWhileTheButtonIsHeld)
{
    QSignalSpy presses(&testButton(), &PressAndHoldButton::pressChanged);
    // A release without a press changes nothing.
    QTest::mouseRelease(&testButton(), Qt::LeftButton);
    EXPECT_EQ(presses.count(), 0);
    REQUIRE_PULSEAUDIO();

    const QLabel* playing = window.findChild<QLabel*>(QStringLiteral("tonePlaying"));
    QTest::mousePress(&testButton(), Qt::LeftButton);
    EXPECT_TRUE(window.isTestTonePlaying());
    EXPECT_TRUE(playing->isVisibleTo(&window)) << "it says so while the tone plays";
    QTest::mouseRelease(&testButton(), Qt::LeftButton);
    EXPECT_FALSE(window.isTestTonePlaying());
    EXPECT_FALSE(playing->isVisibleTo(&window));
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

TEST_F(SettingsWindowTest, ShowsTheRecordingFolderInUseAndClosesAsTheEditorsDo)
{
    Preferences::instance().setRecordingFolder({});
    SettingsWindow shown(settings, Preferences::instance());
    shown.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&shown));
    auto* folder = shown.findChild<QLineEdit*>(QStringLiteral("recordingFolder"));
    EXPECT_EQ(folder->text(), QDir::toNativeSeparators(RecordingController::defaultFolder()));
    // Left as shown, the music folder stays the default.
    folder->setFocus();
    folder->clearFocus();
    EXPECT_EQ(Preferences::instance().recordingFolder(), QString());

    const auto closes = [&](const std::function<void()>& how) {
        shown.show();
        shown.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&shown));
        how();
        return !shown.isVisible();
    };
    EXPECT_TRUE(closes([&] { QTest::keyClick(&shown, Qt::Key_Escape); }));
    EXPECT_TRUE(closes([&] { QTest::keyClick(&shown, Qt::Key_W, Qt::ControlModifier); }));
    EXPECT_TRUE(closes([&] {
        for (QPushButton* button : shown.findChildren<QPushButton*>())
            if (button->text() == QStringLiteral("Close"))
                button->click();
    }));
}

bool watcherLists(const QString& uid)
{
    return std::ranges::any_of(AudioDeviceWatcher::instance().devices(), [&](const auto& d) { return d.uid == uid; });
}

TEST_F(AppTest, ReconnectAutomaticallyIsOnUntilTurnedOffWhichEveryWindowFollowsAndIsRemembered)
{
    RxSimServer server(rxsimOptions([](RxSimOptions& options) { options.dropAfter = std::chrono::milliseconds(300); }));
    const QString address = listen(server);
    const auto window = makeWindow();
    AudioOutputSettings settings;
    {
        SettingsWindow shown{settings, Preferences::instance()};
        auto* box = shown.findChild<QCheckBox*>(QStringLiteral("reconnectAutomatically"));
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(box->isChecked());
        box->click();
    }
    EXPECT_FALSE(Preferences::instance().reconnectAutomatically());
    SettingsWindow again{settings, Preferences::instance()};
    EXPECT_FALSE(again.findChild<QCheckBox*>(QStringLiteral("reconnectAutomatically"))->isChecked());

    ASSERT_TRUE(connectWindow(*window, address));
    ASSERT_TRUE(waitForState(window->client(), ConnectionState::Kind::failed));
    EXPECT_FALSE(window->client().reconnectWait());
    EXPECT_FALSE(window->addressBar()->tryAgainButton()->isHidden());
}

// Through the whole application with real sound: a window's receiver is heard
// on the device chosen in Settings, the choice outlives the application, and
// a device gone at the next launch is forgotten.
TEST_F(AppTest, TheChosenDeviceCarriesTheSoundAndIsRememberedWhileItExists)
{
    REQUIRE_PULSEAUDIO();
    const QString uid = QStringLiteral("farlisten_settings_sink");
    pulsetest::NullSink sink(uid, QStringLiteral("SettingsSink"));
    ASSERT_TRUE(sink.loaded());
    // The watcher must have seen the device too, or it could miss it going away again.
    ASSERT_TRUE(QTest::qWaitFor([&] { return watcherLists(uid); }, 5000));
    {
        Application app;
        MainWindow* window = app.newWindow();
        ASSERT_TRUE(connectWindow(*window, rxsimAddress));
        window->client().tune(9500);
        app.openSettings();
        auto* settings = qobject_cast<SettingsWindow*>(app.settingsWindow());
        ASSERT_NE(settings, nullptr);
        pulsetest::MonitorRecording onSink(uid);
        ASSERT_TRUE(onSink.waitUntilRecording());
        choose(option(*settings, QStringLiteral("SettingsSink")));
        QTest::qWait(3000);
        const std::vector<float> heard = onSink.finish();
        EXPECT_GT(pulsetest::rmsOf(heard.data(), heard.size()), 0.001) << "the receiver is heard on the chosen device";
        EXPECT_EQ(Preferences::instance().audioOutputDeviceUID(), uid);
    }
    {
        Application app;
        EXPECT_EQ(app.audioOutput().selectedUID(), uid);
        app.openSettings();
        const auto& settings = *qobject_cast<SettingsWindow*>(app.settingsWindow());
        EXPECT_TRUE(optionLines(settings).contains(QStringLiteral("*SettingsSink")));
        // Unplugged while the program runs: still chosen, shown as unavailable.
        sink.unload();
        ASSERT_TRUE(QTest::qWaitFor([&] { return option(settings, QStringLiteral("SettingsSink")) == nullptr; }, 5000));
        EXPECT_EQ(optionLines(settings).back(), QStringLiteral("*Unavailable Device"));
        EXPECT_EQ(Preferences::instance().audioOutputDeviceUID(), uid);
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return !watcherLists(uid); }, 5000));
    Application app;
    EXPECT_EQ(app.audioOutput().selectedUID(), QString());
    EXPECT_EQ(Preferences::instance().audioOutputDeviceUID(), QString());
}

} // namespace
