#include "DisplayTestSupport.h"
#include "settings/Preferences.h"
#include "widgets/FrequencyText.h"
#include "display/SMeterView.h"
#include "display/TuningLabels.h"
#include "display/TuningPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSlider>
#include <QToolButton>

#include <tuple>
#include <utility>

namespace {

const QLocale pointLocale(QLocale::English, QLocale::UnitedStates);
const QLocale commaLocale(QLocale::German, QLocale::Germany);

// The field's own rules; typing into it is tried on the panel below.
TEST(FrequencyTextTest, FormatAndParse)
{
    const DefaultLocale locale(commaLocale);
    EXPECT_EQ(formattedFrequencyKHz(14230.5), "14230,50");
    EXPECT_EQ(stepTitle(0.1), "+0,1");
    EXPECT_EQ(parseFrequencyText("7200.5"), 7200.5);
    EXPECT_EQ(parseFrequencyText("-5"), -5);
    for (const char* text : {" 7200", "7,200.5", "", "nan", "inf", "1e999"})
        EXPECT_EQ(parseFrequencyText(text), std::nullopt) << text;
}

QToolButton* buttonNamed(QWidget& panel, const QString& accessibleName)
{
    for (QToolButton* button : panel.findChildren<QToolButton*>())
        if (button->accessibleName() == accessibleName)
            return button;
    return nullptr;
}

QStringList modeButtonTitles(QWidget& panel)
{
    QStringList titles;
    for (QToolButton* button : panel.findChildren<QToolButton*>())
        if (button->accessibleName().startsWith(QStringLiteral("Mode ")))
            titles.append(button->text());
    return titles;
}

// Types into the frequency field over what it holds, then presses Return if asked.
void typeFrequency(QLineEdit& field, const QString& text, bool pressReturn = true)
{
    field.setFocus();
    field.selectAll();
    QTest::keyClicks(&field, text);
    if (pressReturn)
        QTest::keyClick(&field, Qt::Key_Return);
}

class TuningPanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Preferences::instance().setFrequencyBookmarks({});
        ASSERT_TRUE(session.connect());
        panel.resize(560, panel.sizeHint().height());
        panel.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
        field = panel.findChild<QLineEdit*>(QStringLiteral("frequencyField"));
        ASSERT_NE(field, nullptr);
    }

    // The tuned frequency and what the field shows.
    std::pair<double, QString> tuned() const { return {session.client.frequencyKHz(), field->text()}; }

    DefaultLocale locale{pointLocale};
    RxSimSession session;
    TuningPanel panel{session.client, Preferences::instance()};
    QLineEdit* field = nullptr;
};

TEST_F(TuningPanelTest, TypedFrequencyIsCommittedOrRestoredAndButtonsStepAndSwitchMode)
{
    EXPECT_EQ(field->text(), "7200.00");
    EXPECT_EQ(field->accessibleName(), "Frequency in kilohertz");

    typeFrequency(*field, "7200,5");
    EXPECT_EQ(tuned(), std::pair(7200.5, QStringLiteral("7200.50")));

    QSignalSpy retunes(&session.client, &ReceiverClient::frequencyKHzChanged);
    for (const char* bad : {"7 200", "7200 kHz", "7200.50"}) {
        typeFrequency(*field, bad);
        EXPECT_EQ(field->text(), "7200.50") << bad;
    }
    EXPECT_EQ(retunes.count(), 0);

    auto* note = panel.findChild<QLabel*>(QStringLiteral("frequencyNote"));
    EXPECT_FALSE(note->isVisibleTo(&panel));
    typeFrequency(*field, QStringLiteral("45000"));
    EXPECT_EQ(tuned(), std::pair(30000.0, QStringLiteral("30000.00")));
    // Said in words beside the field.
    EXPECT_TRUE(note->isVisibleTo(&panel));
    EXPECT_EQ(note->text(), "45000.00 kHz is outside this receiver's range; tuned to the nearest edge, 30000.00 kHz.");
    EXPECT_FALSE(panel.findChild<QToolButton*>(QStringLiteral("bandsButton"))->isVisibleTo(&panel));

    // A click selects the whole value, so typing replaces it; leaving the
    // field commits too.
    QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(field->width() / 2, field->height() / 2));
    ASSERT_TRUE(QTest::qWaitFor([&] { return field->selectedText() == field->text(); }, 1000));
    QTest::keyClicks(field, QStringLiteral("9500"));
    buttonNamed(panel, QStringLiteral("Mode USB"))->setFocus();
    EXPECT_EQ(tuned(), std::pair(9500.0, QStringLiteral("9500.00")));

    // Tuning elsewhere overwrites typed text and takes the focus away.
    typeFrequency(*field, "123", false);
    ASSERT_TRUE(field->hasFocus());
    session.client.tune(9000);
    EXPECT_EQ(field->text(), "9000.00");
    EXPECT_FALSE(field->hasFocus());

    // Step buttons add the plain sum.
    session.client.tune(7199.95);
    QTest::mouseClick(buttonNamed(panel, QStringLiteral("Tune up 0.1 kilohertz")), Qt::LeftButton);
    EXPECT_EQ(tuned(), std::pair(7199.95 + 0.1, QStringLiteral("7200.05")));
    QTest::mouseClick(buttonNamed(panel, QStringLiteral("Tune down 5 kilohertz")), Qt::LeftButton);
    EXPECT_EQ(session.client.frequencyKHz(), 7199.95 + 0.1 - 5);

    // The modes of a KiwiSDR, the current one checked.
    EXPECT_EQ(modeButtonTitles(panel),
        QStringList({"AM", "AMN", "AMW", "SAM", "LSB", "USB", "CW", "CWN", "NBFM"}));
    EXPECT_TRUE(buttonNamed(panel, QStringLiteral("Mode LSB"))->isChecked());

    QToolButton* usb = buttonNamed(panel, QStringLiteral("Mode USB"));
    QTest::mouseClick(usb, Qt::LeftButton);
    EXPECT_EQ(session.client.mode(), Mode::usb);
    EXPECT_EQ(session.client.passband(), defaultPassband(Mode::usb));
    EXPECT_FALSE(buttonNamed(panel, QStringLiteral("Mode LSB"))->isChecked());
    // Pressing the current mode again keeps it marked.
    QTest::mouseClick(usb, Qt::LeftButton);
    EXPECT_TRUE(usb->isChecked());
}

TEST_F(TuningPanelTest, PassbandEdgesAndATuningStepForEachMode)
{
    auto* edges = panel.findChild<QLabel*>(QStringLiteral("passbandEdges"));
    auto* step = panel.findChild<QComboBox*>(QStringLiteral("tuningStep"));
    ASSERT_TRUE(edges && step);
    EXPECT_EQ(std::pair(edges->text(), step->currentText()), std::pair(QStringLiteral("-2700 \u2013 -300 Hz"), QStringLiteral("100 Hz")));
    session.client.setMode(Mode::usb, Passband{150, 2750});
    EXPECT_EQ(edges->text(), QStringLiteral("150 \u2013 2750 Hz"));
    saveScreenshot(panel, QStringLiteral("tuning-panel.png"));

    // A step chosen in one mode stays with it.
    emit step->activated(step->findData(1));
    EXPECT_EQ(Preferences::instance().tuningStepHz(Mode::usb), 1);
    session.client.setMode(Mode::am);
    EXPECT_EQ(step->currentText(), QStringLiteral("5 kHz"));
    session.client.setMode(Mode::usb);
    EXPECT_EQ(step->currentText(), QStringLiteral("1 Hz"));
    EXPECT_EQ(step->focusPolicy(), Qt::TabFocus);
    Preferences::instance().setTuningStepHz(Mode::usb, 100);
    EXPECT_EQ(step->currentText(), QStringLiteral("100 Hz"));
}

TEST_F(TuningPanelTest, AGCToggleAndManualGain)
{
    auto* agc = panel.findChild<QCheckBox*>(QStringLiteral("agcToggle"));
    auto* slider = panel.findChild<QSlider*>(QStringLiteral("gainSlider"));
    ASSERT_TRUE(agc && slider);
    EXPECT_EQ(std::pair(agc->isChecked(), slider->isVisible()), std::pair(true, false));

    QStringList commands;
    QObject::connect(&session.server, &RxSimServer::commandReceived,
        [&commands](const QString&, const QString& text, const QString&) { commands.append(text); });
    QTest::mouseClick(agc, Qt::LeftButton, {}, QPoint(6, agc->height() / 2));
    EXPECT_FALSE(session.client.agcEnabled());
    EXPECT_TRUE(slider->isVisible());

    // The slider's top is the receiver's highest gain.
    slider->setValue(slider->maximum());
    EXPECT_EQ(session.client.manualGain(), 120);
    EXPECT_EQ(panel.findChild<QLabel*>(QStringLiteral("gainValue"))->text(), "120 dB");
    slider->setValue(57);
    EXPECT_EQ(session.client.manualGain(), 57);
    const QString expected = QStringLiteral("SET agc=0 hang=0 thresh=-100 slope=6 decay=1000 manGain=57");
    EXPECT_TRUE(QTest::qWaitFor([&] { return commands.contains(expected); }, 5000)) << commands.join('\n').toStdString();

    session.client.setAGC(true);
    EXPECT_EQ(std::pair(agc->isChecked(), slider->isVisible()), std::pair(true, false));
}

TEST_F(TuningPanelTest, BookmarkButtonFollowsTheStoredList)
{
    QToolButton* bookmark = panel.findChild<QToolButton*>(QStringLiteral("bookmarkButton"));
    ASSERT_NE(bookmark, nullptr);
    EXPECT_EQ(bookmark->accessibleName(), "Bookmark Frequency");

    QTest::mouseClick(bookmark, Qt::LeftButton);
    EXPECT_TRUE(Preferences::instance().frequencyBookmarks().contains(Mode::lsb, 7200));
    EXPECT_FALSE(bookmark->isEnabled());
    EXPECT_EQ(bookmark->accessibleName(), "Bookmarked");

    // Kept is the same mode at the same frequency to the hundredth of a kilohertz.
    for (const auto& [mode, kHz, enabled] : {std::tuple(Mode::usb, 7200.0, true),
             std::tuple(Mode::lsb, 7200.004, false), std::tuple(Mode::lsb, 7200.01, true)}) {
        session.client.setMode(mode);
        session.client.tune(kHz);
        EXPECT_EQ(bookmark->isEnabled(), enabled) << kHz;
    }

    // A list written by another window is seen at once.
    Preferences::instance().setFrequencyBookmarks({});
    session.client.tune(7200);
    EXPECT_TRUE(bookmark->isEnabled());
}

TEST_F(TuningPanelTest, DisabledUnlessConnected)
{
    auto* meter = panel.findChild<SMeterView*>(QStringLiteral("sMeter"));
    ASSERT_NE(meter, nullptr);
    EXPECT_FALSE(panel.findChild<QWidget*>(QStringLiteral("profileMenu"))->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return meter->reading().has_value(); }, 5000));
    EXPECT_EQ(meter->reading(), session.client.sMeter());
    QTest::qWait(300);

    QToolButton* mute = panel.findChild<QToolButton*>(QStringLiteral("muteButton"));
    auto* volume = panel.findChild<QSlider*>(QStringLiteral("volumeSlider"));
    ASSERT_TRUE(mute && volume);
    EXPECT_EQ(mute->accessibleName(), "Mute");
    QTest::mouseClick(mute, Qt::LeftButton);
    EXPECT_EQ(std::pair(session.client.isMuted(), mute->accessibleName()), std::pair(true, QStringLiteral("Unmute")));
    volume->setValue(500);
    EXPECT_FLOAT_EQ(session.client.volume(), 0.5f);
    session.client.setVolume(0.25f);
    EXPECT_EQ(volume->value(), 250);
    // A click on the track moves the handle there, not a page toward it.
    QTest::mouseClick(volume, Qt::LeftButton, {}, QPoint(volume->width() * 9 / 10, volume->height() / 2));
    EXPECT_GT(volume->value(), 800);

    session.client.disconnect();
    EXPECT_FALSE(field->isEnabled());
    EXPECT_FALSE(buttonNamed(panel, QStringLiteral("Mode USB"))->isEnabled());
}

TEST(TuningPanelOpenWebRXTest, NoGainControlsButWideFMAndABandMenu)
{
    RxSimOptions options;
    options.kind = RxSimKind::openwebrx;
    RxSimSession session(options);
    TuningPanel panel(session.client, Preferences::instance());
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    auto* agc = panel.findChild<QCheckBox*>(QStringLiteral("agcToggle"));
    EXPECT_TRUE(agc->isVisibleTo(&panel));

    ASSERT_TRUE(session.start());
    ASSERT_TRUE(QTest::qWaitFor([&] { return session.client.serverKind() == ServerKind::openWebRX; }, 10000));
    EXPECT_FALSE(agc->isVisibleTo(&panel));
    EXPECT_FALSE(panel.findChild<QSlider*>(QStringLiteral("gainSlider"))->isVisibleTo(&panel));
    EXPECT_TRUE(modeButtonTitles(panel).contains("WFM"));

    // The band menu marks the current profile and changes it.
    auto* band = panel.findChild<QComboBox*>(QStringLiteral("profileMenu"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return band->count() == 2 && band->currentIndex() == 0; }, 10000));
    EXPECT_TRUE(band->isVisibleTo(&panel));
    emit band->activated(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return session.client.frequencyKHz() == 9500; }, 10000));
    EXPECT_EQ(band->currentIndex(), 1);
    // A server's name of any length leaves the menu's width as it was.
    const int width = band->sizeHint().width();
    band->addItem(QString(1000, u'W'));
    EXPECT_EQ(band->sizeHint().width(), width);
    EXPECT_LT(width, 40 * band->fontMetrics().horizontalAdvance(u'W'));

    // Outside the band: which band, and the band list on offer.
    typeFrequency(*panel.findChild<QLineEdit*>(QStringLiteral("frequencyField")), QStringLiteral("100"));
    const QString note = panel.findChild<QLabel*>(QStringLiteral("frequencyNote"))->text();
    EXPECT_TRUE(note.contains(QStringLiteral("outside the band \u201c") + band->currentText() + QStringLiteral("\u201d")))
        << note.toStdString();
    EXPECT_TRUE(panel.findChild<QToolButton*>(QStringLiteral("bandsButton"))->isVisibleTo(&panel));
}

} // namespace
