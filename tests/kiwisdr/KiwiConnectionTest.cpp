// The session against a scripted KiwiSDR on 127.0.0.1, where exact frames
// matter: what it sends and in which order, what every answer does to it, and
// when the views hear of it.
#include "KiwiWire.h"
#include "support/ScriptedKiwiServer.h"
#include "support/SelfSignedCertificate.h"
#include "support/SessionTestSupport.h"

#include "connection/NetworkThread.h"

#include <QRegularExpression>
#include <QScopeGuard>
#include <QSemaphore>
#include <QSslConfiguration>
#include <QSslKey>
#include <QTcpServer>
#include <QWebSocketServer>

#include <functional>

namespace {

using Channel = ScriptedKiwiServer::Channel;
using Server = ScriptedKiwiServer;

const QString auth = QStringLiteral("SET auth t=kiwi p=");
const QString ident = QStringLiteral("SET ident_user=Farlisten");
const QString agc50 = QStringLiteral("SET agc=1 hang=0 thresh=-100 slope=6 decay=1000 manGain=50");
const QString keepalive = QStringLiteral("SET keepalive");

using Bins = std::vector<std::uint8_t>;

class KiwiConnectionTest : public SessionTest {
protected:
    Server server;

    Channel* connectSound(int index = 0)
    {
        client->connect(server.address());
        Channel* sound = server.waitForChannel(QStringLiteral("/SND"), index);
        EXPECT_TRUE(Server::waitForCommands(sound, 1));
        return sound;
    }

    // A session the server accepted, with its setup sent on both channels.
    std::pair<Channel*, Channel*> acceptedSession()
    {
        Channel* sound = connectSound();
        Server::sendParams(sound, QStringLiteral("badp=0 sample_rate=12000"));
        EXPECT_TRUE(Server::waitForCommand(sound, keepalive));
        Channel* waterfall = server.waitForChannel(QStringLiteral("/W/F"));
        EXPECT_TRUE(Server::waitForCommands(waterfall, 1));
        Server::sendParams(waterfall, QStringLiteral("badp=0"));
        EXPECT_TRUE(Server::waitForCommand(waterfall, keepalive));
        return {sound, waterfall};
    }

    // Sends a command through the session and waits for it, so that
    // everything the session sent before it has arrived too.
    QStringList receivedUpToMarker(Channel* sound)
    {
        const qsizetype before = sound->received.size();
        client->sendAGC();
        EXPECT_TRUE(Server::waitForCommands(sound, int(before) + 1));
        return sound->received;
    }
};

TEST_F(KiwiConnectionTest, SetupWaitsForTheSampleRateAndGoesOutOnce)
{
    Channel* sound = connectSound();
    Server::sendParams(sound, QStringLiteral("badp=0"));
    ASSERT_TRUE(waitForState(ConnectionState::Kind::connected));
    EXPECT_EQ(receivedUpToMarker(sound), QStringList({auth, agc50}));

    Server::sendParams(sound, QStringLiteral("sample_rate=12000.000 audio_rate=12000.7 sample_rate=12000 badp=0"));
    ASSERT_TRUE(Server::waitForCommand(sound, QStringLiteral("SET AR OK in=12000 out=44100")));
    EXPECT_EQ(sound->received.mid(0, 7),
        QStringList({auth, agc50, ident, "SET mod=lsb low_cut=-2700 high_cut=-300 freq=7200.000", agc50,
            "SET compression=0", keepalive}));
    EXPECT_EQ(audio->currentRate(), 12000.7);
    EXPECT_FLOAT_EQ(player->volume(), 0.8f);
    EXPECT_EQ(receivedUpToMarker(sound).count(ident), 1);
    Channel* waterfall = server.waitForChannel(QStringLiteral("/W/F"));
    ASSERT_TRUE(waterfall);
    EXPECT_EQ(waterfall->path.section(u'/', 3, 3), sound->path.section(u'/', 3, 3)) << "one timestamp";
}

TEST_F(KiwiConnectionTest, RowsTakeTheirChannelsGeometryAndTheSoundBandwidthOnlyTheInfo)
{
    auto [sound, waterfall] = acceptedSession();
    Server::send(waterfall, kiwiWaterfallFrame(4'194'304, 3, 2, Bins(1024, 100)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return rows.size() == 1 && client->waterfallZoom() == 3; }));
    // A KiwiSDR's byte v is v - 255 dB.
    EXPECT_EQ(rows[0], (WaterfallRow{std::vector<float>(1024, -155.0f), 7'500'000, 3'750'000, 3, 2}));
    EXPECT_EQ(client->waterfallStartHz(), 7'500'000);
    Server::sendParams(waterfall, QStringLiteral("bandwidth=32000000"));
    Server::send(waterfall, kiwiWaterfallFrame(0, 1, 3, Bins(16)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return rows.size() == 2; }));
    EXPECT_EQ(std::pair(rows[1].spanHz, client->info().bandwidthHz), std::pair(16'000'000.0, 32'000'000.0));

    client->tune(25000);
    ASSERT_TRUE(Server::waitForCommand(waterfall, QStringLiteral("SET zoom=1 start=8388608")));
    const qsizetype soundBefore = receivedUpToMarker(sound).size();
    const qsizetype waterfallBefore = waterfall->received.size();
    Server::sendParams(sound, QStringLiteral("bandwidth=20000000"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return client->info().bandwidthHz == 20'000'000; }));
    EXPECT_EQ(std::tuple(client->frequencyKHz(), client->waterfallZoom(), client->waterfallStartHz()),
        std::tuple(25000, 1, 16'000'000));
    EXPECT_EQ(receivedUpToMarker(sound).size(), soundBefore + 1);
    EXPECT_EQ(waterfall->received.size(), waterfallBefore);
}

TEST_F(KiwiConnectionTest, ParametersApplyInTheOrderSentUpToAnEndingOne)
{
    const QString config = QStringLiteral("load_cfg=")
        + QString::fromLatin1(QUrl::toPercentEncoding(QStringLiteral(R"({"rx_name":"Cfg"})")));
    const QString down = QStringLiteral("The receiver is down for maintenance.");
    const struct {
        QString params;
        QString message;
        std::optional<QString> name;
        std::optional<std::int64_t> channels;
    } cases[] = {
        {"rx_chans=4 rx_chan=x " + config + " down rx_chan=2", down, QStringLiteral("Cfg"), 4},
        {"down " + config + " rx_chans=4", down, std::nullopt, std::nullopt},
        {"badp=yes", "The receiver rejected the connection (badp=-1).", std::nullopt, std::nullopt},
    };
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.params.toStdString());
        Server::sendParams(connectSound(index++), c.params);
        ASSERT_TRUE(waitForState(ConnectionState::Kind::failed));
        const ReceiverInfo& info = client->info();
        EXPECT_EQ(std::tuple(client->state().message(), info.name, info.rxChannels, info.rxChannel),
            std::tuple(c.message, c.name, c.channels, std::nullopt));
    }
}

TEST_F(KiwiConnectionTest, ViewsHearOfChangesOnlyOnceTheyAreComplete)
{
    Channel* sound = connectSound();
    std::vector<std::pair<std::optional<SMeterReading>, bool>> seen;
    QObject view;
    QObject::connect(client.get(), &ReceiverClient::stateChanged, &view, [&] {
        seen.emplace_back(client->sMeter(), client->isADCOverloaded());
        // A view calling back into the session from its handler.
        if (client->state().isConnected())
            client->disconnect();
    });
    // The first sound frame connects, and brings the S-meter and overload.
    Server::send(sound, kiwiSoundFrame(0x02, 1, -80, Bins(64)));
    ASSERT_TRUE(waitForState(ConnectionState::Kind::disconnected));
    EXPECT_EQ(seen, decltype(seen)({{SMeterReading{-80, true}, true}, {std::nullopt, true}}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return sound->closed; }));
    EXPECT_EQ(sound->closeCode, 1001);
    EXPECT_EQ(server.channelCount(QStringLiteral("/W/F")), 0) << "only acceptance opens the waterfall";
}

TEST_F(KiwiConnectionTest, WaterfallTroubleLeavesTheSoundRunning)
{
    auto [sound, waterfall] = acceptedSession();
    const auto showsError = [&](const std::optional<QString>& error) {
        return QTest::qWaitFor([&] { return client->waterfallError() == error; });
    };
    Server::sendParams(waterfall, QStringLiteral("badp=3"));
    ASSERT_TRUE(showsError("Admin connections are not allowed from this IP address."));
    // A row with new geometry clears the message; a limit after rows names the app limit.
    Server::send(waterfall, kiwiWaterfallFrame(0, 0, 1, Bins(8)));
    ASSERT_TRUE(showsError(std::nullopt));
    Server::sendParams(waterfall, QStringLiteral("too_busy=1"));
    ASSERT_TRUE(showsError("The receiver's limit on app connections closed the waterfall."));
    Server::send(waterfall, kiwiWaterfallFrame(0, 1, 2, Bins(8)));
    ASSERT_TRUE(showsError(std::nullopt));
    Server::close(waterfall);
    ASSERT_TRUE(showsError("The waterfall stream was closed by the server."));
    EXPECT_TRUE(client->state().isConnected());
    EXPECT_FALSE(sound->closed);
    EXPECT_EQ(server.channelCount(QStringLiteral("/W/F")), 1) << "nothing reopens the waterfall";
}

TEST_F(KiwiConnectionTest, RefusedSocketFailsWithItsReasonAndInvalidAddressesKeepTheURL)
{
    QTcpServer placeholder;
    ASSERT_TRUE(placeholder.listen(QHostAddress::LocalHost));
    const QString address = QStringLiteral("127.0.0.1:%1").arg(placeholder.serverPort());
    placeholder.close();
    client->connect(address);
    ASSERT_TRUE(waitForState(ConnectionState::Kind::failed));
    EXPECT_TRUE(client->state().message().startsWith(QStringLiteral("The connection was closed: "))
        && client->state().message().contains(QStringLiteral("refused"), Qt::CaseInsensitive))
        << client->state().message().toStdString();
    for (const char* invalid : {"", "   ", "http://"}) {
        client->connect(QString::fromUtf8(invalid));
        EXPECT_EQ(client->state(), ConnectionState::failed(QStringLiteral("The server address is not valid.")));
        EXPECT_EQ(client->serverURL(), ReceiverClient::normalizedServerURL(address));
    }
}

TEST_F(KiwiConnectionTest, ConnectWhileConnectedEndsTheOldConnectionAndSaysSoOnce)
{
    auto [sound, waterfall] = acceptedSession();
    Server::sendParams(sound, QStringLiteral("audio_rate=12000"));
    Server::sendParams(waterfall, QStringLiteral("too_busy"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return audio->currentRate() && client->waterfallError(); }));
    std::vector<ConnectionState::Kind> states;
    QObject view;
    QObject::connect(client.get(), &ReceiverClient::stateChanged, &view, [&] { states.push_back(client->state().kind()); });
    QTest::qWait(2); // a new millisecond for the new timestamp
    client->connect(server.address());
    client->connect(server.address());
    EXPECT_EQ(states, std::vector{ConnectionState::Kind::connecting}) << "published once a call is over, if it changed";
    EXPECT_FALSE(audio->currentRate()) << "the player stopped";
    EXPECT_FALSE(client->waterfallError());
    ASSERT_TRUE(QTest::qWaitFor([&] { return sound->closed && waterfall->closed; }));
    EXPECT_EQ(std::pair(sound->closeCode, waterfall->closeCode), std::pair(1001, 1001));
    Channel* newSound = server.waitForChannel(QStringLiteral("/SND"), 1);
    ASSERT_TRUE(newSound);
    EXPECT_NE(newSound->path, sound->path) << "a new timestamp";
}

TEST_F(KiwiConnectionTest, StatusPageOfAnEarlierServerIsDiscarded)
{
    // This page does not name a KiwiSDR, so it is fetched again once the
    // server is taken for one.
    server.answer(QStringLiteral("/status"), {{}, "loc=Alpha\nusers=3\n"});
    client->connect(server.address());
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.httpRequests().size() == 3; }));
    // Its reading waits on the network thread until the user moved on.
    const auto gate = std::make_shared<QSemaphore>();
    const auto unblock = qScopeGuard([&] { gate->release(); });
    QMetaObject::invokeMethod(NetworkThread::root(), [gate] { gate->acquire(); }, Qt::QueuedConnection);
    QTest::qWait(300);
    Server other;
    other.answer(QStringLiteral("/status"), {"KiwiSDR", "name=Bravo\n"});
    client->connect(other.address());
    gate->release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return client->info().name == u"Bravo"; }));
    QTest::qWait(100);
    EXPECT_FALSE(client->info().location);
    EXPECT_FALSE(client->info().users);
}

TEST_F(KiwiConnectionTest, StatusPageIsAppliedAtOnceWhenItNamedTheServerAndFetchedAgainOtherwise)
{
    const std::pair<Server::HttpAnswer, QStringList> cases[] = {
        {{"KiwiSDR_v1.560", "name=Alpha\n"}, {"/status"}},
        {{{}, "name=Alpha\nsw_version=KiwiSDR_v1.560\n"}, {"/status"}},
        {{{}, "name=Alpha\n"}, {"/status", "/", "/status"}},
    };
    for (const auto& [answer, requests] : cases) {
        Server server;
        server.answer(QStringLiteral("/status"), answer);
        client->connect(server.address());
        ASSERT_TRUE(server.waitForChannel(QStringLiteral("/SND")));
        ASSERT_TRUE(QTest::qWaitFor([&] { return client->info().name == u"Alpha"; }));
        EXPECT_EQ(server.httpRequests(), requests);
        client->disconnect();
    }
}

TEST_F(KiwiConnectionTest, TuningCommandsAndClamps)
{
    auto [sound, waterfall] = acceptedSession();
    Server::sendParams(waterfall, QStringLiteral("zoom_max=14 zoom_cap=10"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return client->info().zoomCap == 10; }));
    client->setWaterfallZoom(20);
    EXPECT_EQ(client->waterfallZoom(), 10);

    const struct {
        std::function<void()> action;
        Channel* channel;
        const char* command;
    } steps[] = {
        {[&] { client->tune(40000); }, sound, "SET mod=lsb low_cut=-2700 high_cut=-300 freq=30000.000"},
        {[&] { client->tune(-5); }, sound, "SET mod=lsb low_cut=-2700 high_cut=-300 freq=0.000"},
        {[&] { client->tune(7030), client->setMode(Mode::cwn); }, sound,
            "SET mod=cwn low_cut=470 high_cut=530 freq=7029.500"},
        {[&] { client->setAGC(false, 150); }, sound, "SET agc=0 hang=0 thresh=-100 slope=6 decay=1000 manGain=120"},
        {[&] { client->setAGC(true, -4); }, sound, "SET agc=1 hang=0 thresh=-100 slope=6 decay=1000 manGain=0"},
        {[&] { client->setAGC(false); }, sound, "SET agc=0 hang=0 thresh=-100 slope=6 decay=1000 manGain=0"},
        {[&] { client->tune(1000), client->setWaterfallZoom(1); }, waterfall, "SET zoom=1 start=0"},
        {[&] { client->tune(29500); }, waterfall, "SET zoom=1 start=8388608"},
        {[&] { client->sendZoomStart(7'500'000); }, waterfall, "SET zoom=1 start=4194304"},
        // Zoom 2 showing 7.5 to 15 MHz: tuning inside moves nothing, outside re-centres.
        {[&] { client->tune(11250), client->setWaterfallZoom(2); }, waterfall, "SET zoom=2 start=4194304"},
        {[&] { client->tune(7500); }, sound, "SET mod=cwn low_cut=470 high_cut=530 freq=7499.500"},
        {[&] { client->tune(15000); }, sound, "SET mod=cwn low_cut=470 high_cut=530 freq=14999.500"},
        {[&] { client->tune(7000); }, waterfall, "SET zoom=2 start=1817532"},
        {[&] { client->tune(16000); }, waterfall, "SET zoom=2 start=6850697"},
    };
    for (const auto& step : steps) {
        step.action();
        // Commands are in flight for a moment: wait for the last one to be it.
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return !step.channel->received.isEmpty() && step.channel->received.last() == step.command;
        })) << step.command;
    }
    EXPECT_EQ(std::tuple(client->waterfallStartHz(), waterfall->received.filter(QStringLiteral("SET zoom=2")).size()),
        std::tuple(12'250'000, 3));
}

TEST_F(KiwiConnectionTest, TuningAndVolumeWithoutAConnectionOnlyChangeStateAndNotifyRealChanges)
{
    int frequencyChanges = 0;
    QObject view;
    QObject::connect(client.get(), &ReceiverClient::frequencyKHzChanged, &view, [&] { ++frequencyChanges; });
    client->restoreTuning(Mode::usb, -3, 14074);
    client->tune(14074);
    EXPECT_EQ(std::tuple(frequencyChanges, client->waterfallZoom(), client->passband()),
        std::tuple(1, 0, Passband{300, 2700}));
    // Wider than the band, its end decides.
    EXPECT_EQ(std::tuple(client->clampedWaterfallStart(-6'500'000, 15'000'000),
                  client->clampedWaterfallStart(22'000'000, 15'000'000), client->clampedWaterfallStart(0, 40'000'000)),
        std::tuple(0, 15'000'000, -10'000'000));
    EXPECT_EQ(client->availableModes().size(), 9) << "all but wide FM";

    client->setMuted(true);
    client->setVolume(0.5f);
    EXPECT_FLOAT_EQ(player->volume(), 0.0f);
    client->setMuted(false);
    EXPECT_FLOAT_EQ(player->volume(), 0.5f);
    auto [sound, waterfall] = acceptedSession();
    client->setVolume(0.3f);
    const QStringList received = receivedUpToMarker(sound);
    EXPECT_EQ(received.mid(received.size() - 2), QStringList({keepalive, agc50})) << "volume stays local";
}

TEST_F(KiwiConnectionTest, HostileValuesAreIgnoredOrCut)
{
    const QByteArray huge(100'000, 'x');
    QByteArray page;
    for (const QByteArray key : {"name", "loc", "antenna", "grid", "gps", "sdr_hw", "sw_version"})
        page += key + '=' + huge + '\n';
    server.answer(QStringLiteral("/status"), {"KiwiSDR_v1.560", page});
    auto [sound, waterfall] = acceptedSession();
    Server::sendParams(sound, QStringLiteral("client_public_ip=%1 bandwidth=0 bandwidth=-5 bandwidth=nan bandwidth=1e308 "
                                             "sample_rate=1e999 audio_rate=0 audio_rate=500 audio_rate=1e300 audio_rate=1e12")
                                  .arg(QString::fromLatin1(huge)));
    ASSERT_TRUE(Server::waitForCommand(sound, QStringLiteral("SET AR OK in=1000000000000 out=44100")));
    const ReceiverInfo info = client->info();
    for (const std::optional<QString>& text :
        {info.name, info.location, info.antenna, info.grid, info.gps, info.hardware, info.softwareVersion, info.clientIP})
        EXPECT_EQ(text.value_or(QString()).size(), maxServerTextLength);
    EXPECT_EQ(std::tuple(info.bandwidthHz, info.sampleRate, audio->starts().size()),
        std::tuple(30'000'000, std::nullopt, 0u)) << "no player at an absurd rate";
    EXPECT_EQ(receivedUpToMarker(sound).filter(QStringLiteral("SET AR OK")).size(), 1) << "the latest rate only";

    Server::sendParams(waterfall, QStringLiteral("zoom_max=1000 zoom_cap=99999999999999999999 bandwidth=0 wf_fps=1e3"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return client->info().maxZoom == 30; }));
    EXPECT_EQ(std::tuple(client->info().zoomCap, client->info().waterfallFPS), std::tuple(14, std::nullopt));
    client->setWaterfallZoom(1000);
    EXPECT_EQ(client->waterfallZoom(), 14);
    Server::send(waterfall, kiwiWaterfallFrame(0, 65535, 1, Bins(8)));
    Server::send(waterfall, kiwiWaterfallFrame(0xFFFFFFFF, 30, 2, Bins(8)));
    Server::send(waterfall, "W/F");
    Server::send(sound, "SND\x10");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !rows.empty(); }));
    EXPECT_EQ(rows.front().sequence, 2u) << "a zoom beyond any receiver's gives no row";
    EXPECT_TRUE(std::isfinite(rows.front().startHz) && rows.front().spanHz > 0) << "a bandwidth of 0 is ignored";

    // 100000 dashes once percent-decoded.
    Server::sendParams(sound, QStringLiteral("kiwi_kick=") + QStringLiteral("%E2%80%94").repeated(100'000));
    ASSERT_TRUE(waitForState(ConnectionState::Kind::failed));
    EXPECT_EQ(client->state().message().size(), ConnectionState::maxMessageLength);
}

TEST_F(SessionTest, AnUntrustedCertificateEndsTheConnectionNamingTheReason)
{
    QWebSocketServer server(QStringLiteral("untrusted"), QWebSocketServer::SecureMode);
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificate(QSslCertificate(QByteArray(selfSignedCertificatePem)));
    tls.setPrivateKey(QSslKey(QByteArray(selfSignedKeyPem), QSsl::Ec));
    tls.setPeerVerifyMode(QSslSocket::VerifyNone);
    server.setSslConfiguration(tls);
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    int accepted = 0;
    QObject::connect(&server, &QWebSocketServer::newConnection, &server, [&] {
        while (QWebSocket* socket = server.nextPendingConnection()) {
            ++accepted;
            delete socket;
        }
    });

    client->connect(QStringLiteral("https://127.0.0.1:%1/").arg(server.serverPort()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return client->state().isFailed(); }, 30000));
    const QString message = client->state().message();
    for (const char* part : {"^The connection was closed: the receiver's certificate is not trusted \\(", "self-signed",
             "host name did not match", "\\), so Farlisten does not connect to it$"})
        EXPECT_TRUE(message.contains(QRegularExpression(QString::fromUtf8(part)))) << message.toStdString();
    EXPECT_EQ(accepted, 0);
}

} // namespace

