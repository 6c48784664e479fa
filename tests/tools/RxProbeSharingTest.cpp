// rxprobe shared with other programs: parec records the stand-in's station
// from its capture source, Debian's rigctl tunes it, and the source goes when
// the probe ends, by its timer or SIGTERM, or after SIGKILL at the next start.
#include "RxSimTestSupport.h"
#include "common/PulseAudioTestSupport.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryFile>

#include <gtest/gtest.h>

namespace {

// A running rxprobe and the JSON lines it has printed so far.
class Probe {
public:
    Probe(quint16 receiverPort, const QStringList& options)
    {
        // The system's TLS library keeps a few allocations to the end.
        suppressions.open();
        suppressions.write("leak:libcrypto.so\n");
        suppressions.flush();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("LSAN_OPTIONS", "suppressions=" + suppressions.fileName());
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QStringLiteral(RXPROBE_PATH),
            QStringList{QStringLiteral("127.0.0.1:%1").arg(receiverPort), "--frequency", "9500", "--mode", "am"}
                + options);
    }
    ~Probe()
    {
        process.kill();
        process.waitForFinished(5000);
    }

    // The value of the first line that has it, once one has come.
    QJsonValue waitFor(const QString& key, int milliseconds = 20000)
    {
        QJsonValue found(QJsonValue::Undefined);
        [[maybe_unused]] const bool ended = QTest::qWaitFor(
            [&] {
                for (const QByteArray& line : (printed += process.readAllStandardOutput()).split('\n')) {
                    const QJsonObject object = QJsonDocument::fromJson(line).object();
                    if (object.contains(key))
                        found = object.value(key);
                }
                return !found.isUndefined() || process.state() == QProcess::NotRunning;
            },
            milliseconds);
        return found;
    }
    bool waitForEnd(int milliseconds = 20000)
    {
        return QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, milliseconds);
    }

    QTemporaryFile suppressions;
    QProcess process;
    QByteArray printed;
};

TEST(RxProbeSharing, TheSourceCarriesTheStationRigctlTunesItAndTheSourceGoesWithTheProbe)
{
    REQUIRE_PULSEAUDIO();
    RxSimServer receiver({});
    const quint16 port = receiver.listen();
    ASSERT_NE(port, 0);

    Probe probe(port, {"--seconds", "60", "--sound-source", "farlisten.probe-test", "--rigctld", "0"});
    EXPECT_EQ(probe.waitFor("soundSource").toObject().value("name"), "farlisten.probe-test");
    const int rigctlPort = probe.waitFor("rigctl").toObject().value("port").toInt();
    ASSERT_GT(rigctlPort, 0);
    ASSERT_TRUE(pulsetest::hasSource("farlisten.probe-test"));

    pulsetest::MonitorRecording recording("farlisten.probe-test", QString());
    ASSERT_TRUE(recording.waitUntilRecording());
    QTest::qWait(5000);
    // The AM station's 400 Hz tone, at the source's 48 kHz: a second unbroken
    // at least, also when other builds load the machine.
    const pulsetest::Tone tone = pulsetest::analyse(recording.finish());
    EXPECT_GT(tone.seconds, 1.0);
    EXPECT_NEAR(tone.hz, 400, 20);

    // hamlib answers a read after a set from its own cache: the read is a run of its own.
    const auto rigctl = [rigctlPort](const QStringList& commands) {
        QProcess process;
        process.start("rigctl", QStringList{"-m", "2", "-r", QStringLiteral("127.0.0.1:%1").arg(rigctlPort)} + commands);
        EXPECT_TRUE(QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 20000));
        return QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
    };
    EXPECT_TRUE(rigctl({"F", "15400000", "M", "USB", "0", "T", "1"}).contains("Feature not available"));
    EXPECT_EQ(rigctl({"f", "m"}).split(u'\n', Qt::SkipEmptyParts), QStringList({"15400000", "USB", "2400"}));

    probe.process.terminate();
    ASSERT_TRUE(probe.waitForEnd());
    EXPECT_EQ(probe.process.exitCode(), 0);
    EXPECT_FALSE(pulsetest::hasSource("farlisten.probe-test"));

    // Killed, a probe leaves its source behind, until the next one starts.
    Probe killed(port, {"--seconds", "60", "--sound-source", "farlisten.probe-killed"});
    ASSERT_FALSE(killed.waitFor("soundSource").isUndefined());
    killed.process.kill();
    ASSERT_TRUE(killed.waitForEnd());
    EXPECT_TRUE(pulsetest::hasSource("farlisten.probe-killed"));
    Probe next(port, {"--seconds", "1", "--sound-source", "farlisten.probe-next"});
    ASSERT_FALSE(next.waitFor("soundSource").isUndefined());
    EXPECT_FALSE(pulsetest::hasSource("farlisten.probe-killed"));
    ASSERT_TRUE(next.waitForEnd());
    EXPECT_FALSE(pulsetest::hasSource("farlisten.probe-next"));
}

} // namespace
