#include "AppTestSupport.h"

#include "app/TuningArea.h"
#include "audio/AudioPlayer.h"
#include "settings/Preferences.h"
#include "display/ListeningToolsPanel.h"
#include "display/WaterfallImageStrip.h"
#include "display/WaterfallView.h"

#include <QCheckBox>
#include <QLabel>
#include <QSpinBox>

#include <cmath>

namespace {

class ListeningToolsTest : public AppTest {
protected:
    static ListeningToolsPanel& tools(MainWindow& window) { return *window.tuningArea()->listeningTools(); }
    template <typename Control>
    static Control& control(MainWindow& window, const char* name)
    {
        auto* found = tools(window).findChild<Control*>(QString::fromLatin1(name));
        EXPECT_TRUE(found) << name;
        return *found;
    }
};

TEST_F(ListeningToolsTest, ControlsSetTheWindowsChainAndTheNextLaunchStartsWithThem)
{
    const auto player = silentPlayer();
    {
        const auto window = makeWindow(player);
        QTest::mouseClick(&control<QCheckBox>(*window, "notchToggle"), Qt::LeftButton);
        control<QSpinBox>(*window, "notchFrequency").setValue(1500);
        QTest::mouseClick(&control<QCheckBox>(*window, "squelchToggle"), Qt::LeftButton);
        control<QSpinBox>(*window, "blankerThreshold").setValue(9);
    }
    ListeningSettings expected{.squelchOn = true, .notchOn = true, .notchHz = 1500, .blankerThresholdDb = 9};
    EXPECT_EQ(player->listeningChain().settings(), expected);
    EXPECT_EQ(Preferences::instance().listeningSettings(), expected);

    // A stored value out of range comes back clamped, in the chain and on screen.
    expected.notchHz = 90000;
    Preferences::instance().setListeningSettings(expected);
    const auto next = silentPlayer();
    const auto window = makeWindow(next);
    expected.notchHz = ListeningSettings::notchRange.high;
    EXPECT_EQ(next->listeningChain().settings(), expected);
    EXPECT_EQ(control<QSpinBox>(*window, "notchFrequency").value(), 4000);
    EXPECT_TRUE(control<QCheckBox>(*window, "squelchToggle").isChecked());
}

TEST_F(ListeningToolsTest, SquelchLightFollowsTheChainWhileTheSquelchIsOn)
{
    const auto player = silentPlayer();
    const auto window = makeWindow(player);
    auto& light = control<QLabel>(*window, "squelchLight");
    EXPECT_EQ(light.accessibleName(), QStringLiteral("Squelch off"));
    QTest::mouseClick(&control<QCheckBox>(*window, "squelchToggle"), Qt::LeftButton);
    EXPECT_EQ(light.accessibleName(), QStringLiteral("Squelch closed"));

    // Faint noise for a while, then a carrier far above it.
    ASSERT_FALSE(player->start(12000));
    std::vector<float> samples(12000);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = float(0.01 * std::sin(double(i * i)) + (i > 11000 ? 0.3 * std::sin(0.4 * double(i)) : 0));
    player->enqueue(samples);
    EXPECT_TRUE(QTest::qWaitFor([&] { return light.accessibleName() == QStringLiteral("Squelch open"); }, 1000));
}

TEST_F(ListeningToolsTest, CtrlClickOnTheWaterfallPutsTheNotchOnTheLine)
{
    const auto window = makeWindow();
    // Zoomed far in, so that a pixel is a couple of hertz.
    window->client().restoreTuning(Mode::usb, 14, 7100);
    window->resize(1100, 860);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    ASSERT_TRUE(connectWindow(*window, rxsimAddress));
    WaterfallView& view = *window->waterfall();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.spanHz() < 2000; }, 10000));

    WaterfallImageStrip& strip = *view.waterfallStrip();
    const auto clickAt = [&](double lineHz, Qt::KeyboardModifiers modifiers) {
        const double x = (lineHz - view.displayedStartHz()) / view.spanHz() * strip.width();
        QTest::mouseClick(&strip, Qt::LeftButton, modifiers, QPoint(int(std::lround(x)), strip.height() / 2));
    };
    const double tunedHz = window->client().frequencyKHz() * 1000;
    clickAt(tunedHz + 700, Qt::ControlModifier);
    const ListeningSettings settings = tools(*window).settings();
    EXPECT_TRUE(settings.notchOn);
    EXPECT_NEAR(settings.notchHz, 700, 2 * view.spanHz() / strip.width());
    EXPECT_EQ(window->client().frequencyKHz() * 1000, tunedHz) << "a Ctrl+click does not tune";
    EXPECT_EQ(control<QSpinBox>(*window, "notchFrequency").value(), int(std::lround(settings.notchHz)));

    // Below the tuned frequency in USB is below the notch's range: clamped.
    clickAt(tunedHz - 300, Qt::ControlModifier);
    EXPECT_EQ(tools(*window).settings().notchHz, ListeningSettings::notchRange.low);
}

TEST(ListeningToolsModes, TheAudioFrequencyOfALineFollowsTheMode)
{
    const std::tuple<Mode, double, std::optional<double>> cases[] = {
        {Mode::usb, 7'101'000, 1000},
        {Mode::lsb, 7'099'000, 1000},
        {Mode::cw, 7'100'200, 700},
        {Mode::cwn, 7'099'700, 200},
        {Mode::am, 7'098'800, 1200},
        {Mode::sam, 7'101'200, 1200},
        {Mode::nbfm, 7'101'000, std::nullopt},
    };
    for (const auto& [mode, lineHz, audioHz] : cases)
        EXPECT_EQ(audioFrequencyOfLine(lineHz, 7'100'000, mode), audioHz) << rawValue(mode).toStdString();
}

} // namespace
