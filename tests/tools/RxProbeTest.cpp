// rxprobe run against rxsim: what it prints and the sound it records.
#include "PropertyJson.h"
#include "RxSimTestSupport.h"
#include "common/SoundFileTestSupport.h"
#include "session/ReceiverClient.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaProperty>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <gtest/gtest.h>


namespace {

TEST(RxProbePropertyJson, EveryPublishedPropertyOfTheSessionHasAJsonForm)
{
    const QMetaObject& meta = ReceiverClient::staticMetaObject;
    for (int index = meta.propertyOffset(); index < meta.propertyCount(); ++index) {
        const QMetaProperty property = meta.property(index);
        SCOPED_TRACE(property.name());
        EXPECT_TRUE(property.hasNotifySignal());
        EXPECT_TRUE(hasPropertyJson(property.metaType()));
    }
}

struct ProbeRun {
    int exitCode = -1;
    QList<QJsonObject> lines;
    QStringList otherLines;

    QList<QJsonValue> values(const QString& property) const
    {
        QList<QJsonValue> found;
        for (const QJsonObject& line : lines) {
            if (line.value("property") == property)
                found.append(line.value("value"));
        }
        return found;
    }

    // The states' kinds, and each reconnection try, in order.
    QStringList kinds() const
    {
        QStringList events;
        for (const QJsonObject& line : lines) {
            if (line.contains("reconnectTry"))
                events.append(QStringLiteral("try %1 of %2").arg(line.value("reconnectTry").toInt()).arg(line.value("of").toInt()));
            else if (line.value("property") == "state")
                events.append(line.value("value").toObject().value("kind").toString());
        }
        return events;
    }
};

// Runs the rxprobe program to its end while the event loop keeps the
// in-process receiver serving.
ProbeRun runProbe(const QStringList& arguments, int timeoutMs)
{
    // The system's TLS library, loaded by Qt's network and audio back ends,
    // keeps a few allocations to the end; nothing of ours is excused.
    QTemporaryFile suppressions;
    if (!suppressions.open())
        return {};
    suppressions.write("leak:libcrypto.so\n");
    suppressions.flush();
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LSAN_OPTIONS"), QStringLiteral("suppressions=") + suppressions.fileName());
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral(RXPROBE_PATH), arguments);
    ProbeRun run;
    if (!process.waitForStarted(5000))
        return run;
    if (!QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    for (const QByteArray& line : process.readAllStandardOutput().split('\n')) {
        if (line.isEmpty())
            continue;
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(line, &error);
        if (error.error == QJsonParseError::NoError && document.isObject())
            run.lines.append(document.object());
        else
            run.otherLines.append(QString::fromUtf8(line));
    }
    return run;
}

struct ProbeCase {
    RxSimKind kind;
    const char* frequency;
    const char* mode;
    double toneHz; // the AM station's modulation, or the cw pitch of the keyed carrier
    std::vector<double> othersHz;
    double margin;
};

TEST(RxProbeProgram, TenSecondsOnTheTunedStationIntoAWavFile)
{
    for (const ProbeCase& c : {ProbeCase{RxSimKind::kiwisdr, "9500", "am", 400, {250, 700, 1000, 1500}, 100},
             ProbeCase{RxSimKind::openwebrx, "7030", "cw", 500, {300, 700, 1000}, 20}}) {
        const bool kiwi = c.kind == RxSimKind::kiwisdr;
        SCOPED_TRACE(kiwi ? "kiwisdr" : "openwebrx");
        RxSimOptions options;
        options.kind = c.kind;
        RxSimServer server(options);
        const quint16 port = server.listen();
        ASSERT_NE(port, 0);
        QTemporaryDir dir;
        const QString wav = dir.filePath(QStringLiteral("probe.wav"));
        const ProbeRun run = runProbe({QStringLiteral("127.0.0.1:%1").arg(port), "--frequency", c.frequency,
                                          "--mode", c.mode, "--wav", wav},
            20'000);
        ASSERT_EQ(run.exitCode, 0);
        EXPECT_TRUE(run.otherLines.isEmpty()) << run.otherLines.join('\n').toStdString();

        EXPECT_EQ(run.kinds(), QStringList({"connecting", "connected", "disconnected"}));
        EXPECT_EQ(run.values("serverKind"), QList<QJsonValue>{kiwi ? "kiwiSDR" : "openWebRX"});
        const QList<QJsonValue> tuned = run.values("frequencyKHz");
        ASSERT_FALSE(tuned.isEmpty());
        EXPECT_EQ(tuned.last(), QJsonValue(QString::fromLatin1(c.frequency).toInt()));

        ASSERT_FALSE(run.values("info").isEmpty());
        EXPECT_EQ(run.values("info").last().toObject().value("name"), QJsonValue("Farlisten rxsim test receiver"));
        // A KiwiSDR names its bands' services; an OpenWebRX server tells its load.
        if (kiwi) {
            ASSERT_FALSE(run.values("receiverLabels").isEmpty());
            const QJsonObject band = run.values("receiverLabels").last()["bands"][0].toObject();
            EXPECT_EQ(std::pair(band.value("name"), band.value("service")),
                std::pair(QJsonValue("49m Broadcast"), QJsonValue("Broadcast")));
        } else {
            ASSERT_FALSE(run.values("receiverLoad").isEmpty());
            EXPECT_EQ(run.values("receiverLoad").last(), QJsonObject({{"cpuPercent", 23}, {"temperatureC", 47.5}}));
        }

        qint64 last = 0;
        for (const QJsonObject& line : run.lines) {
            if (line.contains("summary"))
                continue;
            EXPECT_GE(line.value("t").toInteger(), last);
            last = line.value("t").toInteger();
        }
        EXPECT_GE(last, 9'900);
        EXPECT_LT(last, 11'000);
        ASSERT_TRUE(run.lines.last().contains("summary"));
        const QJsonObject summary = run.lines.last().value("summary").toObject();
        EXPECT_GT(summary.value("waterfallRows").toInteger(), 150);
        EXPECT_GT(summary.value("soundFrames").toInteger(), 45);
        EXPECT_GT(summary.value("audioSeconds").toDouble(), 8.0);
        EXPECT_LE(summary.value("audioSeconds").toDouble(), 10.0);

        const auto file = readSoundFile(wav);
        ASSERT_TRUE(file);
        EXPECT_EQ(file->rate, 12000);
        const std::vector<float>& samples = file->samples;
        ASSERT_GT(samples.size(), 8u * 12000);
        const std::span<const float> middle(samples.data() + samples.size() / 4, samples.size() / 2);
        const double tone = tonePower(middle, c.toneHz, 12000);
        for (const double other : c.othersHz)
            EXPECT_GT(tone, c.margin * tonePower(middle, other, 12000)) << other;
    }
}

TEST(RxProbeProgram, OnTheSoundCardReportsARefusalAndExitsAndRefusesAWrongCommandLine)
{
    EXPECT_EQ(runProbe({}, 10'000).exitCode, 2);
    EXPECT_EQ(runProbe({"127.0.0.1:1", "--volume", "1"}, 10'000).exitCode, 2);

    RxSimOptions options;
    options.down = true;
    RxSimServer server(options);
    const quint16 port = server.listen();
    ASSERT_NE(port, 0);
    const ProbeRun run = runProbe({QStringLiteral("127.0.0.1:%1").arg(port), "--seconds", "1"}, 10'000);
    ASSERT_EQ(run.exitCode, 0);
    for (const QString& other : run.otherLines)
        EXPECT_TRUE(other.startsWith(QStringLiteral("Audio output failed to start: "))) << other.toStdString();
    const QList<QJsonValue> states = run.values("state");
    ASSERT_FALSE(states.isEmpty());
    EXPECT_EQ(states.last(),
        QJsonObject({{"kind", "failed"}, {"message", "The receiver is down for maintenance."}}));
    ASSERT_TRUE(run.lines.last().contains("summary"));
    EXPECT_EQ(run.lines.last().value("summary").toObject().value("waterfallRows"), QJsonValue(0));
}

TEST(RxProbeProgram, ReconnectsOnlyWhenAskedAndPrintsEachTry)
{
    RxSimOptions options;
    options.dropAfter = std::chrono::milliseconds(500);
    RxSimServer server(options);
    const quint16 port = server.listen();
    ASSERT_NE(port, 0);
    for (const bool reconnect : {false, true}) {
        SCOPED_TRACE(reconnect ? "--reconnect" : "without --reconnect");
        QStringList arguments{QStringLiteral("127.0.0.1:%1").arg(port), "--seconds", reconnect ? "5" : "2"};
        if (reconnect)
            arguments.append("--reconnect");
        const ProbeRun run = runProbe(arguments, 20'000);
        ASSERT_EQ(run.exitCode, 0);
        // Without --reconnect the first failure stays.
        const QStringList start{"connecting", "connected", "failed"};
        EXPECT_EQ(run.kinds().mid(0, reconnect ? 6 : -1),
            reconnect ? start + QStringList({"try 1 of 10", "connecting", "connected"}) : start);
    }
}

TEST(RxProbeProgram, PrintsWhatTheServersDecoderDecodesAndANameItDoesNotOffer)
{
    RxSimOptions options;
    options.kind = RxSimKind::openwebrx;
    RxSimServer server(options);
    const quint16 port = server.listen();
    ASSERT_NE(port, 0);
    const QString address = QStringLiteral("127.0.0.1:%1").arg(port);

    // Said once; the probe goes on listening.
    const ProbeRun refused = runProbe({address, "--seconds", "2", "--decoder", "RTTY"}, 20'000);
    ASSERT_EQ(refused.exitCode, 0);
    EXPECT_EQ(refused.values("decoderError"), QList<QJsonValue>{"The receiver offers no decoder named \u201cRTTY\u201d."});
    ASSERT_TRUE(refused.lines.last().contains("summary"));
    EXPECT_GT(refused.lines.last().value("summary").toObject().value("waterfallRows").toInt(), 0);

    const ProbeRun run =
        runProbe({address, "--frequency", "7029", "--mode", "usb", "--decoder", "CW Decoder", "--seconds", "8"}, 30'000);
    ASSERT_EQ(run.exitCode, 0);
    QString text;
    for (const QJsonValue& piece : run.values("decoderText"))
        text += piece.toString();
    EXPECT_TRUE(text.contains(QRegularExpression("^[A-Z \\n]*[A-Z]{2}[A-Z \\n]*$"))) << text.toStdString();
    EXPECT_TRUE(run.values("decoderError").isEmpty());
}

} // namespace

namespace {

// The sample lists give exactly what other tools expect to read; a list that
// cannot be read is one error line and changes nothing else.
TEST(RxProbeDirectory, PrintsTheMergedReceiversOfTheListsThenTheirCounts)
{
    const QString samples = QStringLiteral(DIRECTORY_SAMPLES "/");
    QFile expected(samples + QStringLiteral("probe-expected.jsonl"));
    ASSERT_TRUE(expected.open(QIODevice::ReadOnly));
    QTemporaryFile cutShort;
    QFile map(samples + QStringLiteral("receiverbook-map.html"));
    ASSERT_TRUE(cutShort.open() && map.open(QIODevice::ReadOnly));
    cutShort.write(map.readAll().chopped(200));
    cutShort.close();

    QProcess probe;
    probe.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    probe.start(QStringLiteral(RXPROBE_PATH),
        {QStringLiteral("--directory"), samples + QStringLiteral("kiwisdr-public.html"), QStringLiteral("--directory"),
            cutShort.fileName(), QStringLiteral("--directory"), samples + QStringLiteral("kiwisdr_com.js"),
            QStringLiteral("--directory"), samples + QStringLiteral("missing.html"), QStringLiteral("--directory"),
            samples + QStringLiteral("receiverbook-map.html")});
    ASSERT_TRUE(probe.waitForFinished(60000));
    EXPECT_EQ(probe.exitCode(), 0);
    QList<QByteArray> lines = probe.readAllStandardOutput().trimmed().split('\n');
    ASSERT_GE(lines.size(), 2);
    const QJsonObject cut = QJsonDocument::fromJson(lines.takeFirst()).object().value("directoryError").toObject();
    EXPECT_EQ(cut.value("source").toString(), cutShort.fileName());
    EXPECT_EQ(cut.value("message").toString(), QStringLiteral("The list ends before it is complete."));
    const QJsonObject missing = QJsonDocument::fromJson(lines.takeFirst()).object().value("directoryError").toObject();
    EXPECT_TRUE(missing.value("message").toString().startsWith(QStringLiteral("The file cannot be read")));
    EXPECT_EQ(lines, expected.readAll().trimmed().split('\n'));
}

} // namespace
