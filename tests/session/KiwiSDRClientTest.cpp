// The session against a scripted receiver on 127.0.0.1: what it sends, in
// which order, and what every answer of the server does to it.
#include "ScriptedKiwiServer.h"
#include "SessionTestSupport.h"

#include <QTcpServer>

#include <algorithm>
#include <functional>

namespace {

using Channel = ScriptedKiwiServer::Channel;

const QString auth = QStringLiteral("SET auth t=kiwi p=");
const QString ident = QStringLiteral("SET ident_user=Farlisten");
const QString defaultTune = QStringLiteral("SET mod=lsb low_cut=-2700 high_cut=-300 freq=7200.000");
const QString defaultAGC = QStringLiteral("SET agc=1 hang=0 thresh=-100 slope=6 decay=1000 manGain=50");
const QString compression = QStringLiteral("SET compression=0");
const QString keepalive = QStringLiteral("SET keepalive");

class KiwiSDRClientTest : public SessionTest {
protected:
    ScriptedKiwiServer server;

    Channel* connectSound(int index = 0)
    {
        client->connect(server.address());
        Channel* sound = server.waitForChannel(QStringLiteral("/SND"), index);
        EXPECT_TRUE(ScriptedKiwiServer::waitForCommands(sound, 1));
        return sound;
    }

    // A session the server accepted, with its setup sent on both channels.
    std::pair<Channel*, Channel*> acceptedSession()
    {
        Channel* sound = connectSound();
        ScriptedKiwiServer::sendParams(sound, QStringLiteral("badp=0 sample_rate=12000"));
        EXPECT_TRUE(ScriptedKiwiServer::waitForCommand(sound, keepalive));
        Channel* waterfall = server.waitForChannel(QStringLiteral("/W/F"));
        EXPECT_TRUE(ScriptedKiwiServer::waitForCommands(waterfall, 1));
        ScriptedKiwiServer::sendParams(waterfall, QStringLiteral("badp=0"));
        EXPECT_TRUE(ScriptedKiwiServer::waitForCommand(waterfall, keepalive));
        return {sound, waterfall};
    }

    // Sends a command through the session and waits for it, so that
    // everything the session sent before it has arrived too.
    static QStringList receivedUpToMarker(KiwiSDRClient& session, Channel* sound)
    {
        const qsizetype before = sound->received.size();
        session.sendAGC();
        EXPECT_TRUE(ScriptedKiwiServer::waitForCommands(sound, int(before) + 1));
        return sound->received;
    }
};

TEST_F(KiwiSDRClientTest, SuccessfulConnectionSendsItsCommandsInOrder)
{
    Channel* sound = connectSound();
    EXPECT_TRUE(sound->path.startsWith(QStringLiteral("/ws/kiwi/")));
    EXPECT_EQ(client->state(), KiwiState::connecting());
    EXPECT_EQ(client->serverKind(), ServerKind::kiwiSDR);

    ScriptedKiwiServer::sendParams(sound, QStringLiteral("badp=0"));
    ASSERT_TRUE(waitForState(KiwiState::Kind::connected));
    // No setup before the sample rate is known.
    EXPECT_EQ(receivedUpToMarker(*client, sound), QStringList({auth, defaultAGC}));

    ScriptedKiwiServer::sendParams(sound, QStringLiteral("sample_rate=12000.000"));
    ASSERT_TRUE(ScriptedKiwiServer::waitForCommand(sound, keepalive));
    EXPECT_EQ(sound->received,
        QStringList({auth, defaultAGC, ident, defaultTune, defaultAGC, compression, keepalive}));

    ScriptedKiwiServer::sendParams(sound, QStringLiteral("audio_rate=12000.7 sample_rate=12000 badp=0"));
    ASSERT_TRUE(ScriptedKiwiServer::waitForCommand(sound, QStringLiteral("SET AR OK in=12000 out=44100")));
    EXPECT_EQ(audio->currentRate(), 12000.7);
    EXPECT_EQ(client->info().audioRate, 12000.7);
    EXPECT_EQ(client->info().sampleRate, 12000);
    EXPECT_FLOAT_EQ(player->volume(), 0.8f);
    // A second sample rate or acceptance sends no second setup.
    EXPECT_EQ(receivedUpToMarker(*client, sound).count(ident), 1);

    Channel* waterfall = server.waitForChannel(QStringLiteral("/W/F"));
    ASSERT_TRUE(waterfall);
    EXPECT_EQ(waterfall->path.section(u'/', 3, 3), sound->path.section(u'/', 3, 3))
        << "both channels carry the connection's timestamp";
    ASSERT_TRUE(ScriptedKiwiServer::waitForCommands(waterfall, 1));
    ScriptedKiwiServer::sendParams(waterfall, QStringLiteral("badp=0"));
    ASSERT_TRUE(ScriptedKiwiServer::waitForCommands(waterfall, 7));
    EXPECT_EQ(waterfall->received,
        QStringList({auth, "SET maxdb=0 mindb=-100", "SET wf_speed=4", "SET wf_comp=0", "SET interp=13",
            "SET zoom=0 start=0", keepalive}));
    EXPECT_EQ(server.channelCount(QStringLiteral("/W/F")), 1);
}

TEST_F(KiwiSDRClientTest, RowsFlowThroughTheBroadcasterWithTheirGeometry)
{
    auto [sound, waterfall] = acceptedSession();

    ScriptedKiwiServer::sendWaterfall(waterfall, 0, 0, 1, QByteArray(1024, char(200)));
    ScriptedKiwiServer::sendWaterfall(waterfall, 4'194'304, 3, 2, QByteArray(1024, char(100)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return rows.size() == 2; }));
    EXPECT_EQ(rows[0].startHz, 0);
    EXPECT_EQ(rows[0].spanHz, 30'000'000);
    EXPECT_EQ(rows[0].bins, std::vector<std::uint8_t>(1024, 200));
    EXPECT_EQ(rows[1].startHz, 7'500'000);
    EXPECT_EQ(rows[1].spanHz, 3'750'000);
    EXPECT_EQ(rows[1].zoom, 3);
    EXPECT_EQ(rows[1].sequence, 2u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return client->waterfallZoom() == 3; }));
    EXPECT_EQ(client->waterfallStartHz(), 7'500'000);

    // The channel's own bandwidth changes the geometry of the rows after it.
    ScriptedKiwiServer::sendParams(waterfall, QStringLiteral("bandwidth=32000000"));
    ScriptedKiwiServer::sendWaterfall(waterfall, 0, 1, 3, QByteArray(16, 0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return rows.size() == 3; }));
    EXPECT_EQ(rows[2].spanHz, 16'000'000);
    EXPECT_EQ(client->info().bandwidthHz, 32'000'000);
}

struct Refusal {
    const char* params;
    bool afterAcceptance;
    const char* message;
    bool offersWebPage = false;
};

TEST_F(KiwiSDRClientTest, EveryRefusalEndsTheSessionWithItsMessage)
{
    const Refusal refusals[] = {
        {"badp=1", false, "Bad password, or all channels that don't require a password are busy."},
        {"badp=5", false, "This receiver allows only one connection per IP address. Close other sessions "
                          "to it (for example a browser tab) and try again."},
        {"badp", false, "The receiver rejected the connection (badp=-1)."},
        {"badp=yes", false, "The receiver rejected the connection (badp=-1)."},
        {"too_busy=3", false, "All 3 channels on this receiver are in use. Try again later."},
        {"too_busy=0", false, "All 0 channels on this receiver are in use. Try again later."},
        {"too_busy=0", true, "This receiver only allows listening through its web page, so it disconnected this app.",
            true},
        {"too_busy=2", true, "This receiver allows at most 2 connections from apps other than its web page, and others "
                             "are using them, so it disconnected this one. Try again later or use its web page.",
            true},
        {"redirect=http%3A%2F%2Fother.example%3A8073", false,
            "The receiver redirected the connection to http://other.example:8073."},
        {"redirect", false, "The receiver redirected the connection to another server."},
        {"down", true, "The receiver is down for maintenance."},
        {"kiwi_kick=maintenance%20work", true, "Disconnected by the receiver: maintenance work"},
        {"kiwi_kick", true, "Disconnected by the receiver."},
        {"inactivity_timeout=30", true,
            "Disconnected after 30 minutes of inactivity. Reconnect to continue listening."},
        {"inactivity_timeout", true, "Disconnected after inactivity. Reconnect to continue listening."},
        {"ip_limit", false, "The receiver's 24-hour listening limit for your IP address has been reached."},
        {"exclusive_use", false, "The receiver is currently reserved for exclusive use."},
        {"wb_only", false, "The receiver is currently reserved for exclusive use."},
        {"monitor", false, "All channels on this receiver are in use. Try again later."},
    };
    int index = 0;
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.params);
        Channel* sound = connectSound(index++);
        ASSERT_TRUE(sound);
        EXPECT_FALSE(client->webPageAfterAppLimit()) << "a new connection forgets the last offer";
        if (refusal.afterAcceptance) {
            ScriptedKiwiServer::sendParams(sound, QStringLiteral("badp=0"));
            ASSERT_TRUE(waitForState(KiwiState::Kind::connected));
        }
        ScriptedKiwiServer::sendParams(sound, QString::fromUtf8(refusal.params));
        ASSERT_TRUE(waitForState(KiwiState::Kind::failed));
        EXPECT_EQ(client->state().message(), QString::fromUtf8(refusal.message));
        const QUrl webPage(QStringLiteral("http://%1/?f=7200.00lsb").arg(server.address()));
        EXPECT_EQ(client->webPageAfterAppLimit(), refusal.offersWebPage ? std::optional(webPage) : std::nullopt);
        ASSERT_TRUE(QTest::qWaitFor([&] { return sound->closed; }));
        EXPECT_EQ(sound->closeCode, 1001);
        client->disconnect();
        EXPECT_TRUE(client->state().isFailed()) << "disconnect keeps the message visible";
    }
}

TEST_F(KiwiSDRClientTest, ParametersBeforeAnEndingOneStillApply)
{
    Channel* sound = connectSound();
    ScriptedKiwiServer::sendParams(sound, QStringLiteral("rx_chans=4 rx_chan=x down rx_chan=2"));
    ASSERT_TRUE(waitForState(KiwiState::Kind::failed));
    EXPECT_EQ(client->info().rxChannels, 4);
    EXPECT_FALSE(client->info().rxChannel);
    EXPECT_EQ(client->state().message(), QStringLiteral("The receiver is down for maintenance."));
}

TEST_F(KiwiSDRClientTest, SoundFramesDriveTheSMeterAndOverloadAndConnect)
{
    Channel* sound = connectSound();
    ScriptedKiwiServer::sendSound(sound, 0x02, 1, 1270, QByteArray(64, 0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return client->rssi().has_value(); }));
    EXPECT_TRUE(client->state().isConnected()) << "the first sound frame connects";
    EXPECT_NEAR(*client->rssi(), 0.0, 1e-9);
    EXPECT_TRUE(client->isADCOverloaded());
    ASSERT_TRUE(client->sMeter());
    EXPECT_TRUE(client->sMeter()->isCalibrated);

    ScriptedKiwiServer::sendSound(sound, 0x00, 2, 470, QByteArray(64, 0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !client->isADCOverloaded(); }));
    EXPECT_NEAR(*client->rssi(), -80.0, 1e-9);
    EXPECT_EQ(server.channelCount(QStringLiteral("/W/F")), 0) << "only acceptance opens the waterfall";

    client->disconnect();
    EXPECT_FALSE(client->rssi());
    EXPECT_EQ(client->state(), KiwiState::disconnected());
}

TEST_F(KiwiSDRClientTest, SocketFailuresEndTheSession)
{
    Channel* sound = connectSound();
    ScriptedKiwiServer::sendParams(sound, QStringLiteral("badp=0"));
    ASSERT_TRUE(waitForState(KiwiState::Kind::connected));
    ScriptedKiwiServer::close(sound);
    ASSERT_TRUE(waitForState(KiwiState::Kind::failed));
    EXPECT_EQ(client->state().message(), QStringLiteral("The connection was closed by the server."));

    QTcpServer placeholder;
    ASSERT_TRUE(placeholder.listen(QHostAddress::LocalHost));
    const quint16 port = placeholder.serverPort();
    placeholder.close();
    client->connect(QStringLiteral("127.0.0.1:%1").arg(port));
    ASSERT_TRUE(waitForState(KiwiState::Kind::failed));
    EXPECT_TRUE(client->state().message().startsWith(QStringLiteral("The connection was closed: ")))
        << client->state().message().toStdString();
    EXPECT_EQ(client->serverKind(), ServerKind::kiwiSDR);
}

TEST_F(KiwiSDRClientTest, WaterfallFailuresLeaveTheSoundRunning)
{
    auto [sound, waterfall] = acceptedSession();
    ScriptedKiwiServer::sendParams(waterfall, QStringLiteral("badp=3"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return client->waterfallError().has_value(); }));
    EXPECT_EQ(client->waterfallError(), QStringLiteral("Admin connections are not allowed from this IP address."));

    ScriptedKiwiServer::sendParams(waterfall, QStringLiteral("too_busy"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return client->waterfallError() == u"All waterfall channels are in use."; }));

    // A row with new geometry clears the message; a later limit names the app limit.
    ScriptedKiwiServer::sendWaterfall(waterfall, 0, 0, 1, QByteArray(8, 0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !client->waterfallError(); }));
    ScriptedKiwiServer::sendParams(waterfall, QStringLiteral("too_busy=1"));
    const QString appLimit = QStringLiteral("The receiver's limit on app connections closed the waterfall.");
    ASSERT_TRUE(QTest::qWaitFor([&] { return client->waterfallError() == appLimit; }));

    // The server closing the channel keeps the more specific message.
    ScriptedKiwiServer::close(waterfall);
    QTest::qWait(50);
    EXPECT_EQ(client->waterfallError(), appLimit);
    EXPECT_TRUE(client->state().isConnected());

    ScriptedKiwiServer::sendSound(sound, 0, 1, 500, QByteArray(16, 0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return client->rssi().has_value(); }));
    EXPECT_TRUE(client->state().isConnected());
    EXPECT_EQ(server.channelCount(QStringLiteral("/W/F")), 1) << "nothing reopens the waterfall";
}

TEST_F(KiwiSDRClientTest, WaterfallClosedWithoutMessageSaysSo)
{
    auto [sound, waterfall] = acceptedSession();
    ScriptedKiwiServer::close(waterfall);
    ASSERT_TRUE(QTest::qWaitFor([&] { return client->waterfallError().has_value(); }));
    EXPECT_EQ(client->waterfallError(), QStringLiteral("The waterfall stream was closed by the server."));
    EXPECT_TRUE(client->state().isConnected());
    EXPECT_FALSE(sound->closed);
}

TEST_F(KiwiSDRClientTest, ConnectWhileConnectedTearsTheOldConnectionDown)
{
    auto [sound, waterfall] = acceptedSession();
    ScriptedKiwiServer::sendParams(sound, QStringLiteral("audio_rate=12000"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return audio->currentRate().has_value(); }));

    std::vector<KiwiState::Kind> states;
    QObject listener; // goes before `states`, and its connection with it
    QObject::connect(client.get(), &KiwiSDRClient::stateChanged, &listener,
        [&] { states.push_back(client->state().kind()); });
    QTest::qWait(2); // a new millisecond for the new timestamp
    client->connect(server.address());
    EXPECT_EQ(states, (std::vector{KiwiState::Kind::connecting})) << "published once, when the call is over";
    EXPECT_FALSE(audio->currentRate()) << "the player stopped";
    ASSERT_TRUE(QTest::qWaitFor([&] { return sound->closed && waterfall->closed; }));
    EXPECT_EQ(sound->closeCode, 1001);
    EXPECT_EQ(waterfall->closeCode, 1001);

    Channel* newSound = server.waitForChannel(QStringLiteral("/SND"), 1);
    ASSERT_TRUE(newSound);
    EXPECT_NE(newSound->path, sound->path) << "a new timestamp";
    EXPECT_FALSE(client->waterfallError());
}

TEST_F(KiwiSDRClientTest, LateResultsOfAnEarlierConnectionChangeNothing)
{
    // Detection still running when the user disconnects.
    client->connect(server.address());
    client->disconnect();
    EXPECT_EQ(client->state(), KiwiState::disconnected());
    QTest::qWait(200);
    EXPECT_EQ(server.channelCount(QStringLiteral("/SND")), 0);
    EXPECT_EQ(client->state(), KiwiState::disconnected());

    // Messages of an old connection that were already on their way.
    Channel* sound = connectSound();
    ScriptedKiwiServer::sendParams(sound, QStringLiteral("badp=0"));
    ASSERT_TRUE(waitForState(KiwiState::Kind::connected));
    ScriptedKiwiServer::sendParams(sound, QStringLiteral("too_busy=3"));
    ScriptedKiwiServer::sendSound(sound, 0x02, 1, 1000, QByteArray(16, 0));
    client->connect(server.address());
    Channel* newSound = server.waitForChannel(QStringLiteral("/SND"), 1);
    ASSERT_TRUE(newSound);
    QTest::qWait(50);
    EXPECT_EQ(client->state(), KiwiState::connecting());
    EXPECT_FALSE(client->isADCOverloaded());
}

TEST_F(KiwiSDRClientTest, InvalidAddressesFailWithoutTouchingTheServerURL)
{
    client->connect(server.address());
    const std::optional<QUrl> url = client->serverURL();
    ASSERT_TRUE(url);
    for (const char* address : {"", "   ", "http://"}) {
        client->connect(QString::fromUtf8(address));
        EXPECT_EQ(client->state(), KiwiState::failed(QStringLiteral("The server address is not valid.")));
        EXPECT_EQ(client->serverURL(), url);
    }
}

TEST_F(KiwiSDRClientTest, TuningCommandsAndClamps)
{
    auto [sound, waterfall] = acceptedSession();
    ScriptedKiwiServer::sendParams(waterfall, QStringLiteral("zoom_max=14 zoom_cap=10"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return client->info().zoomCap == 10; }));
    client->setWaterfallZoom(20);
    EXPECT_EQ(client->waterfallZoom(), 10);

    struct Step {
        std::function<void()> action;
        Channel* channel;
        const char* command;
    };
    const Step steps[] = {
        {[&] { client->tune(40000); }, sound, "SET mod=lsb low_cut=-2700 high_cut=-300 freq=30000.000"},
        {[&] { client->tune(-5); }, sound, "SET mod=lsb low_cut=-2700 high_cut=-300 freq=0.000"},
        {[&] { client->tune(7030), client->setMode(KiwiMode::cwn); }, sound,
            "SET mod=cwn low_cut=470 high_cut=530 freq=7029.500"},
        {[&] { client->setAGC(false, 150); }, sound, "SET agc=0 hang=0 thresh=-100 slope=6 decay=1000 manGain=120"},
        {[&] { client->setAGC(true, -4); }, sound, "SET agc=1 hang=0 thresh=-100 slope=6 decay=1000 manGain=0"},
        {[&] { client->setAGC(false); }, sound, "SET agc=0 hang=0 thresh=-100 slope=6 decay=1000 manGain=0"},
        {[&] { client->tune(1000), client->setWaterfallZoom(1); }, waterfall, "SET zoom=1 start=0"},
        {[&] { client->tune(29500); }, waterfall, "SET zoom=1 start=8388608"},
        {[&] { client->sendZoomStart(7'500'000); }, waterfall, "SET zoom=1 start=4194304"},
        // Zoom 2 showing 7.5 to 15 MHz: tuning inside moves nothing, outside re-centres.
        {[&] { client->tune(11250), client->setWaterfallZoom(2); }, waterfall, "SET zoom=2 start=4194304"},
        {[&] { client->tune(10000); }, sound, "SET mod=cwn low_cut=470 high_cut=530 freq=9999.500"},
        {[&] { client->tune(16000); }, waterfall, "SET zoom=2 start=6850697"},
    };
    for (const Step& step : steps) {
        step.action();
        // Commands are in flight for a moment: wait for the last one to be it.
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return !step.channel->received.isEmpty() && step.channel->received.last() == step.command;
        })) << step.command;
    }
    EXPECT_EQ(client->waterfallStartHz(), 12'250'000);
    EXPECT_EQ(waterfall->received.filter(QStringLiteral("SET zoom=2")).size(), 2);
}

TEST_F(KiwiSDRClientTest, TuningWithoutAConnectionOnlyChangesState)
{
    client->restoreTuning(KiwiMode::usb, -3, 14074);
    EXPECT_EQ(client->waterfallZoom(), 0);
    EXPECT_EQ(client->mode(), KiwiMode::usb);
    EXPECT_EQ(client->passband(), (KiwiPassband{300, 2700}));
    EXPECT_EQ(client->frequencyKHz(), 14074);

    int frequencyChanges = 0;
    QObject listener;
    QObject::connect(client.get(), &KiwiSDRClient::frequencyKHzChanged, &listener, [&] { ++frequencyChanges; });
    client->tune(14074);
    client->restoreTuning(KiwiMode::usb, 0, 14074);
    EXPECT_EQ(frequencyChanges, 0) << "the same value notifies nobody";
    client->tune(7000);
    EXPECT_EQ(frequencyChanges, 1);

    EXPECT_EQ(client->clampedWaterfallStart(-6'500'000, 15'000'000), 0);
    EXPECT_EQ(client->clampedWaterfallStart(22'000'000, 15'000'000), 15'000'000);
    EXPECT_FALSE(client->availableModes().contains(KiwiMode::wfm));
    EXPECT_EQ(client->availableModes().size(), 9);
}

TEST_F(KiwiSDRClientTest, VolumeAndMuteReachThePlayerOnly)
{
    EXPECT_FLOAT_EQ(player->volume(), 0.8f);
    client->setMuted(true);
    EXPECT_FLOAT_EQ(player->volume(), 0.0f);
    client->setVolume(0.5f);
    EXPECT_FLOAT_EQ(player->volume(), 0.0f);
    client->setMuted(false);
    EXPECT_FLOAT_EQ(player->volume(), 0.5f);

    auto [sound, waterfall] = acceptedSession();
    client->setVolume(0.3f);
    client->setMuted(true);
    const QStringList received = receivedUpToMarker(*client, sound);
    EXPECT_EQ(received.mid(received.size() - 2), QStringList({keepalive, defaultAGC}));
}

TEST_F(KiwiSDRClientTest, HostileNumbersAreHarmless)
{
    auto [sound, waterfall] = acceptedSession();
    ScriptedKiwiServer::sendParams(sound,
        QStringLiteral("bandwidth=0 bandwidth=-5 bandwidth=nan bandwidth=1e308 bandwidth=inf "
                       "sample_rate=1e999 audio_rate=0"));
    ASSERT_TRUE(ScriptedKiwiServer::waitForCommand(sound, QStringLiteral("SET AR OK in=0 out=44100")));
    ScriptedKiwiServer::sendParams(sound, QStringLiteral("audio_rate=1e12 audio_rate=1e300 audio_rate=nan"));
    ASSERT_TRUE(ScriptedKiwiServer::waitForCommand(sound, QStringLiteral("SET AR OK in=1000000000000 out=44100")));
    EXPECT_EQ(client->info().bandwidthHz, 30'000'000);
    EXPECT_FALSE(client->info().sampleRate);
    EXPECT_TRUE(audio->starts().empty()) << "no player at an absurd rate";
    ScriptedKiwiServer::sendParams(sound, QStringLiteral("audio_rate=12000"));
    ASSERT_TRUE(ScriptedKiwiServer::waitForCommand(sound, QStringLiteral("SET AR OK in=12000 out=44100")));
    const qsizetype replies = std::count_if(sound->received.begin(), sound->received.end(),
        [](const QString& command) { return command.startsWith(QStringLiteral("SET AR OK")); });
    EXPECT_EQ(replies, 3) << "1e300 and nan give no acknowledgement";

    ScriptedKiwiServer::sendParams(waterfall,
        QStringLiteral("zoom_max=1000 zoom_cap=99999999999999999999 bandwidth=0 bandwidth=-1e308 wf_fps=1e3"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return client->info().maxZoom == 30; }));
    EXPECT_EQ(client->info().zoomCap, 14);
    EXPECT_FALSE(client->info().waterfallFPS);
    const qsizetype before = waterfall->received.size();
    client->setWaterfallZoom(1000);
    EXPECT_EQ(client->waterfallZoom(), 14);
    ASSERT_TRUE(ScriptedKiwiServer::waitForCommands(waterfall, int(before) + 1));

    ScriptedKiwiServer::sendWaterfall(waterfall, 0, 65535, 1, QByteArray(8, 0));
    ScriptedKiwiServer::sendWaterfall(waterfall, 0xFFFFFFFF, 30, 2, QByteArray(8, 0));
    ScriptedKiwiServer::sendBinary(waterfall, "W/F");
    ScriptedKiwiServer::sendBinary(sound, "SND\x10");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !rows.empty(); }));
    EXPECT_EQ(rows.front().sequence, 2u) << "a zoom beyond any receiver's gives no row";
    EXPECT_TRUE(std::isfinite(rows.front().startHz));
    EXPECT_TRUE(client->state().isConnected());
}

TEST_F(KiwiSDRClientTest, StatusPageThatIdentifiesTheServerIsAppliedAtOnce)
{
    // By its Server header, or by the version in its body.
    for (const ScriptedKiwiServer::HttpAnswer& answer :
        {ScriptedKiwiServer::HttpAnswer{200, "KiwiSDR_v1.560", "name=Alpha\nusers=3\nsw_version=KiwiSDR_v1.560\n", -1},
            ScriptedKiwiServer::HttpAnswer{200, {}, "name=Alpha\nstatus=active\nsw_version=KiwiSDR_v1.560\n", -1}}) {
        ScriptedKiwiServer server;
        server.answer(QStringLiteral("/status"), answer);
        client->connect(server.address());
        ASSERT_TRUE(ScriptedKiwiServer::waitForCommands(server.waitForChannel(QStringLiteral("/SND")), 1));
        EXPECT_EQ(client->info().name, QStringLiteral("Alpha"));
        EXPECT_EQ(client->info().softwareVersion, QStringLiteral("KiwiSDR_v1.560"));
        EXPECT_EQ(server.httpRequests(), QStringList({"/status"}));
        client->disconnect();
    }
}

TEST_F(KiwiSDRClientTest, StatusPageIsFetchedAgainWhenDetectionDidNotUseIt)
{
    server.answer(QStringLiteral("/status"), {200, {}, "users=3\r\ngps=\r\n", -1});
    Channel* sound = connectSound();
    ASSERT_TRUE(sound);
    ASSERT_TRUE(QTest::qWaitFor([&] { return client->info().users == 3; }));
    EXPECT_EQ(client->info().gps, QString());
    EXPECT_EQ(server.httpRequests(), QStringList({"/status", "/", "/status"}));
}

TEST_F(KiwiSDRClientTest, EndlessStatusPageIsCutAndDetectionGoesOn)
{
    QByteArray body;
    while (body.size() < 3 * 1024 * 1024)
        body += "name=Endless\nfiller=xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\n";
    server.answer(QStringLiteral("/status"), {200, "KiwiSDR", body, 200'000'000});
    Channel* sound = connectSound();
    ASSERT_TRUE(sound);
    EXPECT_EQ(client->info().name, QStringLiteral("Endless"));
}

TEST_F(KiwiSDRClientTest, HugeServerTextsAreCutBeforeTheyReachTheUser)
{
    const QByteArray huge(100'000, 'x');
    QByteArray page;
    for (const QByteArray key : {"name", "loc", "antenna", "grid", "gps", "sdr_hw", "sw_version"})
        page += key + '=' + huge + '\n';
    server.answer(QStringLiteral("/status"), {200, "KiwiSDR_v1.560", page, -1});
    // 100000 dashes once percent-decoded.
    const QString encodedDashes = QStringLiteral("%E2%80%94").repeated(100'000);

    int index = 0;
    for (const char* ending : {"kiwi_kick", "redirect", "too_busy", "inactivity_timeout"}) {
        SCOPED_TRACE(ending);
        Channel* sound = connectSound(index++);
        ASSERT_TRUE(sound);
        ScriptedKiwiServer::sendParams(sound,
            QStringLiteral("badp=0 client_public_ip=%1 version_maj=%1").arg(QString::fromLatin1(huge)));
        ASSERT_TRUE(QTest::qWaitFor([&] { return client->info().clientIP.has_value(); }));
        const KiwiReceiverInfo info = client->info();
        for (const std::optional<QString>& text : {info.name, info.location, info.antenna, info.grid, info.gps,
                 info.hardware, info.softwareVersion, info.clientIP})
            EXPECT_EQ(text.value_or(QString()).size(), maxServerTextLength);

        ScriptedKiwiServer::sendParams(sound, QString::fromLatin1(ending) + u'=' + encodedDashes);
        ASSERT_TRUE(waitForState(KiwiState::Kind::failed));
        EXPECT_EQ(client->state().message().size(), KiwiState::maxMessageLength);
        client->disconnect();
    }
}

TEST_F(KiwiSDRClientTest, HundredConnectDisconnectCycles)
{
    int opened = 0;
    for (int cycle = 0; cycle < 100; ++cycle) {
        client->connect(server.address());
        if (cycle % 2 == 1) {
            ASSERT_TRUE(server.waitForChannel(QStringLiteral("/SND"), opened));
            ++opened;
        }
        client->disconnect();
        EXPECT_EQ(client->state(), KiwiState::disconnected());
    }
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return std::all_of(server.channels().begin(), server.channels().end(),
            [](const auto& channel) { return channel->closed; });
    }));
    for (const auto& channel : server.channels())
        EXPECT_EQ(channel->closeCode, 1001);
}

} // namespace
