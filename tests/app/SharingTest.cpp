// Sharing a main window with other programs: Debian's own rigctl tunes a
// window connected to the stand-in receiver, the window's capture source is
// named after the receiver and goes with the window, and the controls say
// what is shared.
#include "AppTestSupport.h"
#include "app/SettingsWindow.h"
#include "app/SharePanel.h"
#include "app/StatusLine.h"
#include "audio/CaptureSource.h"
#include "audio/AudioOutputSettings.h"
#include "common/PulseAudioTestSupport.h"
#include "settings/Preferences.h"
#include "sharing/ProgramShare.h"
#include "widgets/FrequencyText.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTcpSocket>

namespace {

struct RigctlRun {
    QStringList lines;
    int exitCode = -1;
};

// Runs hamlib's rigctl to its end while the event loop serves it.
RigctlRun rigctl(quint16 port, const QStringList& commands)
{
    QProcess process;
    process.start(QStringLiteral("rigctl"),
        QStringList{"-m", "2", "-r", QStringLiteral("127.0.0.1:%1").arg(port)} + commands);
    EXPECT_TRUE(process.waitForStarted(5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 20000));
    return {QString::fromUtf8(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts),
        process.exitCode()};
}

class SharingTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        Preferences::instance().setShareWithPrograms(true);
        window->show();
    }

    std::unique_ptr<MainWindow> window = makeWindow();

    quint16 rigctlPort(const MainWindow& shared) const
    {
        EXPECT_TRUE(shared.share() && shared.share()->rigctl() && shared.share()->rigctl()->port());
        return shared.share()->rigctl()->port().value_or(0);
    }
};

TEST_F(SharingTest, HamlibsRigctlTunesTheWindowAsItsOwnControlsDo)
{
    ASSERT_TRUE(connectWindow(*window, rxsimAddress));
    const quint16 port = rigctlPort(*window);
    ASSERT_GE(port, RigctlServer::defaultPort);
    // hamlib answers a read after a set from its own cache: each read is a run of its own.
    EXPECT_EQ(rigctl(port, {"F", "7074000", "M", "PKTUSB", "0", "\\dump_state"}).exitCode, 0);
    EXPECT_EQ(rigctl(port, {"f", "m"}).lines, QStringList({"7074000", "PKTUSB", "2400"}));
    // rigctl prints a refusal on its standard output.
    EXPECT_TRUE(rigctl(port, {"T", "1"}).lines.contains("Feature not available"));
    // The session was tuned as a typed frequency and a mode button tune it.
    EXPECT_EQ(window->client().frequencyKHz(), 7074);
    EXPECT_EQ(window->client().mode(), Mode::usb);
    EXPECT_EQ(window->findChild<QLineEdit*>("frequencyField")->text(), formattedFrequencyKHz(7074));
    // Beyond the receiver's range: its edge, as the field does.
    rigctl(port, {"F", "45000000"});
    EXPECT_EQ(rigctl(port, {"f"}).lines, QStringList({"30000000"}));
    EXPECT_EQ(window->client().frequencyKHz(), 30000);

    // The status line counts the programs connected.
    StatusLine& status = *window->addressBar()->statusLine();
    QTcpSocket program;
    program.connectToHost(QHostAddress::LocalHost, port);
    ASSERT_TRUE(QTest::qWaitFor([&] { return status.text().contains("over rigctl: 1"); }, 5000))
        << status.text().toStdString();
    program.disconnectFromHost();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !status.text().contains("rigctl"); }, 5000));
}

TEST_F(SharingTest, EachWindowsSourceIsNamedAfterItsReceiverAndGoesWithTheWindow)
{
    REQUIRE_PULSEAUDIO();
    auto& panel = *window->sharePanel();
    EXPECT_TRUE(panel.isVisible());
    EXPECT_EQ(panel.sourceField()->placeholderText(), "Appears once a receiver is connected");
    ASSERT_TRUE(connectWindow(*window, rxsimAddress));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !panel.sourceField()->text().isEmpty(); }, 10000))
        << panel.problems()->text().toStdString();
    // Tests side by side share the sound server: another window on the
    // stand-in may hold the plain name, and this one is numbered.
    const auto sourceOf = [](const MainWindow& shared) {
        return QString::fromUtf8(shared.share()->source()->state().name.name);
    };
    const QString first = sourceOf(*window);
    EXPECT_TRUE(panel.sourceField()->text().startsWith("Farlisten: Farlisten rxsim test receiver"));
    EXPECT_TRUE(first.startsWith("farlisten.Farlisten-rxsim-test-receiver"));
    EXPECT_EQ(panel.rigctlField()->text(), QStringLiteral("127.0.0.1:%1").arg(rigctlPort(*window)));
    EXPECT_TRUE(pulsetest::hasSource(first));
    saveScreenshot(*window, QStringLiteral("share-with-programs.png"));
    // The status line counts the programs recording the sound.
    StatusLine& status = *window->addressBar()->statusLine();
    {
        pulsetest::MonitorRecording recorder(first, QString());
        EXPECT_TRUE(QTest::qWaitFor([&] { return status.text().contains("recording this window's sound: 1"); }, 10000))
            << status.text().toStdString();
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return !status.text().contains("recording"); }, 10000));

    // A second window on the same receiver: a name of its own, on the next free port.
    auto second = makeWindow();
    ASSERT_TRUE(connectWindow(*second, rxsimAddress));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !second->sharePanel()->sourceField()->text().isEmpty(); }, 10000));
    const QString secondName = sourceOf(*second);
    // The side-by-side window may have let go of the plain name meanwhile:
    // then the second window holds it, and the first is the numbered one.
    const QString firstShown = panel.sourceField()->text();
    const QString secondShown = second->sharePanel()->sourceField()->text();
    EXPECT_NE(secondShown, firstShown);
    EXPECT_TRUE(firstShown.endsWith(")") || secondShown.endsWith(")")) << secondShown.toStdString();
    EXPECT_NE(secondName, first);
    EXPECT_NE(rigctlPort(*second), rigctlPort(*window));
    second->close();
    EXPECT_FALSE(pulsetest::hasSource(secondName));
    EXPECT_TRUE(pulsetest::hasSource(first));

    // Settings: other computers let in, with the warning; the sound through
    // the listening tools. Stop Sharing ends it for every window.
    AudioOutputSettings outputs;
    SettingsWindow settings(outputs, Preferences::instance());
    settings.findChild<QCheckBox*>("rigctlFromOtherComputers")->click();
    EXPECT_EQ(window->share()->rigctl()->address(), QHostAddress(QHostAddress::Any));
    EXPECT_TRUE(settings.findChild<QLabel*>("rigctlWarning")->isVisibleTo(&settings));
    panel.findChild<QPushButton*>("stopSharing")->click();
    EXPECT_FALSE(window->share());
    EXPECT_FALSE(panel.isVisible());
    EXPECT_FALSE(settings.findChild<QCheckBox*>("shareWithPrograms")->isChecked());
    EXPECT_FALSE(window->shareAction()->isChecked());
    EXPECT_FALSE(pulsetest::hasSource(first));
}

} // namespace
