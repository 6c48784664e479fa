// The session against a scripted OpenWebRX server on 127.0.0.1: the exact
// messages it sends, and what every message of the server does to it.
#include "ScriptedKiwiServer.h"
#include "SessionTestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

#include <functional>
#include <iterator>

namespace {

using Channel = ScriptedKiwiServer::Channel;

const QString handshakeLine = QStringLiteral("SERVER DE CLIENT client=openwebrx.js type=receiver");
const QString socketSuffix = QStringLiteral("/ws/");

QJsonObject parsed(const QString& text)
{
    return QJsonDocument::fromJson(text.toUtf8()).object();
}

QString compact(const QJsonObject& object)
{
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

QJsonObject dspParams(const QString& mod, qint64 offset, qint64 low, qint64 high)
{
    return {{"type", "dspcontrol"},
        {"params", QJsonObject{{"mod", mod}, {"offset_freq", offset}, {"low_cut", low}, {"high_cut", high},
                       {"squelch_level", -150}}}};
}

const QJsonObject dspStart{{"type", "dspcontrol"}, {"action", "start"}};

// The 40 m band: 7000 to 7200 kHz.
QJsonObject band40m()
{
    return {{"center_freq", 7'100'000}, {"samp_rate", 200'000}, {"start_mod", "am"}, {"start_freq", 7'150'000},
        {"sdr_id", "rx"}, {"profile_id", "40m"}};
}

class OpenWebRXSessionTest : public SessionTest {
protected:
    ScriptedKiwiServer server;
    int marker = 1000;

    void SetUp() override
    {
        server.answer(QStringLiteral("/"), {200, {}, "<html><title>OpenWebRX | Test</title></html>", -1});
    }

    Channel* connectSocket()
    {
        client->connect(server.address());
        Channel* socket = server.waitForChannel(socketSuffix);
        EXPECT_TRUE(ScriptedKiwiServer::waitForCommands(socket, 2));
        return socket;
    }

    // A session that took the 40 m band and started the demodulator.
    Channel* connectedSession(QJsonObject band = band40m())
    {
        Channel* socket = connectSocket();
        send(socket, "config", band);
        EXPECT_TRUE(waitForState(KiwiState::Kind::connected));
        EXPECT_TRUE(ScriptedKiwiServer::waitForCommand(socket, compact(dspStart)));
        return socket;
    }

    static void send(Channel* socket, const QString& type, const QJsonValue& value)
    {
        socket->socket->sendTextMessage(compact({{"type", type}, {"value", value}}));
    }

    // Waits until the session has handled everything the server sent before.
    void sync(Channel* socket)
    {
        const int value = ++marker;
        send(socket, "clients", value);
        ASSERT_TRUE(QTest::qWaitFor([&] { return client->info().users == value; }));
    }

    // Every message the session sent but the handshake line, as JSON.
    static QList<QJsonObject> sentJSON(const Channel* socket)
    {
        QList<QJsonObject> messages;
        for (const QString& text : socket->received) {
            if (text != handshakeLine)
                messages.append(parsed(text));
        }
        return messages;
    }

    // Waits for the session's next message after `count` of them.
    static QJsonObject nextSent(const Channel* socket, int count)
    {
        EXPECT_TRUE(ScriptedKiwiServer::waitForCommands(socket, count + 1));
        return socket->received.size() > count ? parsed(socket->received.at(count)) : QJsonObject();
    }
};

} // namespace

TEST_F(OpenWebRXSessionTest, OpensOneSocketWithHandshakeAndConnectionProperties)
{
    Channel* socket = connectSocket();
    ASSERT_TRUE(socket);
    EXPECT_EQ(socket->path, QStringLiteral("/ws/"));
    EXPECT_EQ(client->serverKind(), ServerKind::openWebRX);
    EXPECT_EQ(server.httpRequests(), QStringList({"/status", "/"}));
    ASSERT_EQ(socket->received.size(), 2);
    EXPECT_EQ(socket->received[0], handshakeLine);
    EXPECT_EQ(parsed(socket->received[1]),
        (QJsonObject{{"type", "connectionproperties"},
            {"params", QJsonObject{{"output_rate", 12000}, {"hd_output_rate", 48000}}}}));
    EXPECT_TRUE(client->state().isConnecting());
    EXPECT_EQ(client->info().sampleRate, 12000);
    EXPECT_EQ(client->info().audioRate, 12000);

    client->disconnect();
    ASSERT_TRUE(QTest::qWaitFor([&] { return socket->closed; }));
    EXPECT_EQ(socket->closeCode, 1001);
}

TEST_F(OpenWebRXSessionTest, FirstConfigKeepsARememberedFrequencyTheBandCovers)
{
    client->restoreTuning(KiwiMode::usb, 0, 7050);
    Channel* socket = connectSocket();
    send(socket, "config",
        QJsonObject{{"fft_size", 4096}, {"max_clients", 5}, {"audio_compression", "adpcm"}});
    sync(socket);
    // A config without a band only describes the receiver.
    EXPECT_EQ(client->info().maxUsers, 5);
    EXPECT_EQ(client->info().maxZoom, 4);
    EXPECT_EQ(client->info().zoomCap, 4);
    EXPECT_TRUE(client->state().isConnecting());

    send(socket, "config", band40m());
    ASSERT_TRUE(waitForState(KiwiState::Kind::connected));
    ASSERT_TRUE(ScriptedKiwiServer::waitForCommands(socket, 4));
    EXPECT_EQ(client->frequencyKHz(), 7050);
    EXPECT_EQ(client->mode(), KiwiMode::usb);
    EXPECT_EQ(client->info().baseHz, 7'000'000);
    EXPECT_EQ(client->info().bandwidthHz, 200'000);
    EXPECT_EQ(client->currentProfileID(), QStringLiteral("rx|40m"));
    EXPECT_EQ(sentJSON(socket).mid(1), (QList<QJsonObject>{dspParams("usb", -50000, 300, 2700), dspStart}));
    // The offset is written as a JSON integer; a real server refuses anything else.
    EXPECT_TRUE(socket->received[2].contains(QStringLiteral("\"offset_freq\":-50000,"))
        || socket->received[2].contains(QStringLiteral("\"offset_freq\":-50000}")))
        << socket->received[2].toStdString();
}

TEST_F(OpenWebRXSessionTest, FirstConfigTunesToTheStartWhenTheBandMissesTheFrequency)
{
    client->restoreTuning(KiwiMode::usb, 0, 14200);
    Channel* socket = connectedSession();
    EXPECT_EQ(client->frequencyKHz(), 7150);
    EXPECT_EQ(client->mode(), KiwiMode::am);
    EXPECT_EQ(client->passband(), defaultPassband(KiwiMode::am));
    const KiwiPassband am = defaultPassband(KiwiMode::am);
    EXPECT_EQ(sentJSON(socket).mid(1), (QList<QJsonObject>{dspParams("am", 50000, am.low, am.high), dspStart}));
}

TEST_F(OpenWebRXSessionTest, ProfileChangeAlwaysRetunes)
{
    client->restoreTuning(KiwiMode::usb, 0, 7050);
    Channel* socket = connectedSession();
    send(socket, "profiles",
        QJsonArray{QJsonObject{{"id", "rx|40m"}, {"name", "40 m"}}, QJsonObject{{"id", "rx|20m"}, {"name", "20 m"}},
            QJsonObject{{"id", "rx|nameless"}}});
    ASSERT_TRUE(QTest::qWaitFor([&] { return client->profiles().size() == 2; }));
    EXPECT_EQ(client->profiles()[1], (ReceiverProfile{"rx|20m", "20 m"}));

    const int before = int(socket->received.size());
    client->selectProfile(QStringLiteral("rx|40m"));
    client->selectProfile(QStringLiteral("rx|20m"));
    EXPECT_EQ(client->currentProfileID(), QStringLiteral("rx|20m"));
    EXPECT_EQ(nextSent(socket, before),
        (QJsonObject{{"type", "selectprofile"}, {"params", QJsonObject{{"profile", "rx|20m"}}}}));

    // The new profile's band still covers 7050 kHz, yet the session moves to
    // its start.
    QJsonObject band = band40m();
    band["start_mod"] = "cw";
    band["start_freq"] = 7'010'000;
    band["profile_id"] = "20m";
    send(socket, "config", band);
    ASSERT_TRUE(QTest::qWaitFor([&] { return client->frequencyKHz() == 7010; }));
    EXPECT_EQ(client->mode(), KiwiMode::cw);
    EXPECT_EQ(nextSent(socket, before + 1), dspParams("cw", -90500, 300, 700));
    sync(socket);
    EXPECT_EQ(socket->received.size(), before + 2) << "the demodulator is started only once";
    EXPECT_EQ(socket->received.count(compact(dspStart)), 1);
}

TEST_F(OpenWebRXSessionTest, NarrowerModesSwitchTheModeAndRetune)
{
    client->restoreTuning(KiwiMode::am, 0, 7100);
    Channel* socket = connectedSession();
    EXPECT_TRUE(client->availableModes().contains(KiwiMode::wfm));
    const int before = int(socket->received.size());
    send(socket, "modes",
        QJsonArray{QJsonObject{{"modulation", "usb"}, {"type", "analog"}},
            QJsonObject{{"modulation", "lsb"}, {"type", "analog"}},
            QJsonObject{{"modulation", "ft8"}, {"type", "digimode"}}});
    ASSERT_TRUE(QTest::qWaitFor([&] { return client->mode() == KiwiMode::lsb; }));
    EXPECT_EQ(client->passband(), (KiwiPassband{-2700, -300}));
    EXPECT_EQ(client->availableModes(), (QList<KiwiMode>{KiwiMode::lsb, KiwiMode::usb}));
    EXPECT_EQ(nextSent(socket, before), dspParams("lsb", 0, -2700, -300));

    // A mode still offered stays, and nothing is sent.
    send(socket, "modes", QJsonArray{QJsonObject{{"modulation", "lsb"}, {"type", "analog"}}});
    sync(socket);
    EXPECT_EQ(client->mode(), KiwiMode::lsb);
    EXPECT_EQ(socket->received.size(), before + 1);
}

TEST_F(OpenWebRXSessionTest, TuningMessagesCarryTheOffsetAndClampedCuts)
{
    Channel* socket = connectedSession();
    struct Step {
        std::function<void()> action;
        QJsonObject expected;
    };
    const Step steps[] = {
        {[&] { client->setMode(KiwiMode::cw); }, dspParams("cw", 99500, 300, 700)},
        {[&] { client->tune(7030.0); }, dspParams("cw", -70500, 300, 700)},
        {[&] { client->setMode(KiwiMode::usb, KiwiPassband{300, 2700}); }, dspParams("usb", -70000, 300, 2700)},
        {[&] { client->setMode(KiwiMode::amw); }, dspParams("am", -70000, -5999, 5999)},
        {[&] { client->setMode(KiwiMode::wfm); }, dspParams("wfm", -70000, -75000, 75000)},
        {[&] { client->tune(9000); }, dspParams("wfm", 100000, -75000, 75000)},
    };
    for (const Step& step : steps) {
        const int before = int(socket->received.size());
        step.action();
        EXPECT_EQ(nextSent(socket, before), step.expected);
    }
    EXPECT_EQ(client->frequencyKHz(), 7200) << "tuning is clamped into the band";
}

TEST_F(OpenWebRXSessionTest, SMeterIsRelativeAndUncalibrated)
{
    Channel* socket = connectedSession();
    send(socket, "smeter", 0.01);
    ASSERT_TRUE(QTest::qWaitFor([&] { return client->rssi().has_value(); }));
    EXPECT_DOUBLE_EQ(*client->rssi(), -20);
    ASSERT_TRUE(client->sMeter());
    EXPECT_FALSE(client->sMeter()->isCalibrated);

    for (const QJsonValue& ignored : {QJsonValue(0), QJsonValue(-1), QJsonValue("0.5"), QJsonValue()})
        send(socket, "smeter", ignored);
    sync(socket);
    EXPECT_DOUBLE_EQ(*client->rssi(), -20);
}

TEST_F(OpenWebRXSessionTest, ReceiverDescriptionFromHandshakeDetailsAndClients)
{
    Channel* socket = connectSocket();
    socket->socket->sendTextMessage(QStringLiteral("CLIENT DE SERVER server=openwebrx version=1.2.0"));
    send(socket, "receiver_details",
        QJsonObject{{"receiver_name", "Test SDR"}, {"receiver_location", "Berlin"}, {"locator", "JO62qm"},
            {"receiver_gps", QJsonObject{{"lat", 52.515}, {"lon", 13.35}}}});
    send(socket, "clients", 3.9);
    ASSERT_TRUE(QTest::qWaitFor([&] { return client->info().users == 3; }));
    const KiwiReceiverInfo info = client->info();
    EXPECT_EQ(info.softwareVersion, QStringLiteral("OpenWebRX 1.2.0"));
    EXPECT_EQ(info.name, QStringLiteral("Test SDR"));
    EXPECT_EQ(info.location, QStringLiteral("Berlin"));
    EXPECT_EQ(info.grid, QStringLiteral("JO62qm"));
    EXPECT_EQ(info.gps, u'(' + QLocale().toString(52.515, 'f', 4) + ", " + QLocale().toString(13.35, 'f', 4) + u')');

    // Missing members leave the fields alone; a count that is no number clears it.
    send(socket, "receiver_details", QJsonObject{{"receiver_name", 5}});
    send(socket, "clients", "many");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !client->info().users; }));
    EXPECT_EQ(client->info().name, QStringLiteral("Test SDR"));
    EXPECT_EQ(client->info().gps, info.gps);
}

TEST_F(OpenWebRXSessionTest, RefusalsEndTheSessionWithTheirTexts)
{
    struct Case {
        QJsonObject message;
        QString expected;
    };
    const Case cases[] = {
        {{{"type", "backoff"}, {"reason", "Too many clients"}}, "The receiver is busy: Too many clients"},
        {{{"type", "backoff"}}, "The receiver is busy. Try again later."},
        {{{"type", "sdr_error"}, {"value", "No SDR devices available"}}, "No SDR devices available"},
        {{{"type", "sdr_error"}, {"value", 3}}, "The receiver reported an SDR error."},
    };
    for (int index = 0; index < int(std::size(cases)); ++index) {
        client->connect(server.address());
        Channel* socket = server.waitForChannel(socketSuffix, index);
        ASSERT_TRUE(ScriptedKiwiServer::waitForCommands(socket, 2));
        socket->socket->sendTextMessage(compact(cases[index].message));
        ASSERT_TRUE(waitForState(KiwiState::Kind::failed)) << index;
        EXPECT_EQ(client->state(), KiwiState::failed(cases[index].expected));
        ASSERT_TRUE(QTest::qWaitFor([&] { return socket->closed; }));
        EXPECT_EQ(socket->closeCode, 1001);
    }
}

TEST_F(OpenWebRXSessionTest, ReceiveErrorsGoThroughTheSessionFailureHandler)
{
    Channel* socket = connectSocket();
    socket->socket->close(QWebSocketProtocol::CloseCodeNormal, QStringLiteral("Going down"));
    ASSERT_TRUE(waitForState(KiwiState::Kind::failed));
    EXPECT_EQ(client->state(), KiwiState::failed(QStringLiteral("The connection was closed: Going down")));

    client->connect(server.address());
    Channel* second = server.waitForChannel(socketSuffix, 1);
    ASSERT_TRUE(ScriptedKiwiServer::waitForCommands(second, 2));
    send(second, "config", band40m());
    ASSERT_TRUE(waitForState(KiwiState::Kind::connected));
    ScriptedKiwiServer::close(second);
    ASSERT_TRUE(waitForState(KiwiState::Kind::failed));
    EXPECT_EQ(client->state(), KiwiState::failed(QStringLiteral("The connection was closed by the server.")));
}

TEST_F(OpenWebRXSessionTest, ZoomFollowsTheFFTSizeAndStaysLocal)
{
    client->restoreTuning(KiwiMode::usb, 4, 7050);
    Channel* socket = connectSocket();
    send(socket, "config", QJsonObject{{"fft_size", 1024}});
    QJsonObject band = band40m();
    band["fft_compression"] = "none";
    send(socket, "config", band);
    ASSERT_TRUE(waitForState(KiwiState::Kind::connected));
    ASSERT_TRUE(ScriptedKiwiServer::waitForCommand(socket, compact(dspStart)));
    EXPECT_EQ(client->info().maxZoom, 2);
    EXPECT_EQ(client->waterfallZoom(), 2);
    // A quarter of the band centred on 7050 kHz.
    EXPECT_EQ(client->waterfallStartHz(), 7'025'000);

    QByteArray frame(1, char(1));
    for (int bin = 0; bin < 1000; ++bin) {
        const float level = -100.0f;
        frame.append(reinterpret_cast<const char*>(&level), sizeof level);
    }
    const int before = int(socket->received.size());
    socket->socket->sendBinaryMessage(frame);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !rows.empty(); }));
    EXPECT_EQ(rows[0].bins, std::vector<std::uint8_t>(250, 155));
    EXPECT_EQ(rows[0].startHz, 7'025'000);
    EXPECT_EQ(rows[0].spanHz, 50'000);

    client->sendZoomStart(client->clampedWaterfallStart(7'150'000, 50'000));
    socket->socket->sendBinaryMessage(frame);
    ASSERT_TRUE(QTest::qWaitFor([&] { return rows.size() == 2; }));
    EXPECT_EQ(rows[1].startHz, 7'150'000);
    sync(socket);
    EXPECT_EQ(socket->received.size(), before) << "zoom and pan send nothing";
}

TEST_F(OpenWebRXSessionTest, HostileMessagesLeaveTheSessionRunning)
{
    Channel* socket = connectedSession();
    const KiwiReceiverInfo before = client->info();
    const QString hostile[] = {
        R"({"type":"config","value":{"fft_size":1e300,"max_clients":1e300,"samp_rate":0}})",
        R"({"type":"config","value":{"samp_rate":-250000,"center_freq":1e300}})",
        R"({"type":"config","value":{"center_freq":NaN,"samp_rate":200000}})",
        R"({"type":"config","value":{"fft_size":1e400}})",
        R"({"type":"config","value":[1,2,3]})",
        R"({"type":"config","value":"config"})",
        R"({"type":"CONFIG","value":{"samp_rate":1}})",
        R"({"type":"backoff","reason":5})",
        R"({"type":"profiles","value":{"id":"a","name":"b"}})",
        R"({"type":"modes","value":7})",
        R"({"type":"smeter","value":1e999})",
        QString(100'000, u'['),
        "CLIENT DE SERVER ===",
        "",
    };
    for (const QString& text : hostile)
        socket->socket->sendTextMessage(text);
    socket->socket->sendBinaryMessage(QByteArray("\xff\xfe{\"type\":\"x\"}", 14));
    socket->socket->sendBinaryMessage(QByteArray(1, char(1)));
    socket->socket->sendBinaryMessage(QByteArray(100'000, char(1)));
    sync(socket);
    EXPECT_TRUE(client->state().isConnected());
    EXPECT_EQ(client->info().baseHz, before.baseHz);
    EXPECT_EQ(client->info().bandwidthHz, before.bandwidthHz);
    EXPECT_EQ(client->info().maxZoom, before.maxZoom);
    EXPECT_EQ(client->frequencyKHz(), 7200);

    send(socket, "config", QJsonObject{{"fft_size", -1}});
    sync(socket);
    EXPECT_EQ(client->info().maxZoom, 0);

    QJsonArray many;
    for (int index = 0; index < 100'000; ++index)
        many.append(QJsonObject{{"id", QStringLiteral("rx|%1").arg(index)}, {"name", "p"}});
    send(socket, "profiles", many);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !client->profiles().isEmpty(); }, 20000));
    EXPECT_EQ(client->profiles().size(), 1000);
    EXPECT_EQ(client->profiles().last().id, QStringLiteral("rx|999"));
    EXPECT_TRUE(client->state().isConnected());
}
