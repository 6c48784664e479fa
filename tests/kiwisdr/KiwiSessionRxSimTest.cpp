// The session against rxsim, a stand-in receiver that behaves like a real one:
// it announces its sample rate before auth, sends one MSG per parameter, plays
// audio only once tuned, and enforces its limits and keepalive timeout.
#include "support/SessionTestSupport.h"

#include <QElapsedTimer>

#include <functional>

namespace {

using namespace std::chrono_literals;

const QString auth = QStringLiteral("SET auth t=kiwi p=");
const QString keepalive = QStringLiteral("SET keepalive");
const QString station = QStringLiteral("SET mod=am low_cut=-4900 high_cut=4900 freq=9500.000");

class KiwiSessionRxSimTest : public RxSimSessionTest {
protected:
    void connectToStation() { client->connect(address(), QString(), 9500, Mode::am); }
};

TEST_F(KiwiSessionRxSimTest, RealisticConnectionSendsEverythingInOrderPlaysAndFillsTheInfo)
{
    startServer();
    // A chosen waterfall speed follows the setup.
    client->setWaterfallSpeed(WaterfallSpeed::slow);
    client->setStatusRefreshInterval(300ms);
    QElapsedTimer sinceConnect;
    sinceConnect.start();
    connectToStation();
    const QStringList waterfallSetup{auth, "SET maxdb=0 mindb=-100", "SET wf_speed=4", "SET wf_comp=0", "SET interp=13",
        "SET zoom=0 start=0", keepalive, "SET wf_speed=2"};
    ASSERT_TRUE(QTest::qWaitFor([&] { return received(QStringLiteral("W/F")).size() >= waterfallSetup.size(); }));
    EXPECT_TRUE(client->state().isConnected());
    EXPECT_EQ(received(QStringLiteral("W/F")), waterfallSetup);

    // The sample rate came before auth and is acknowledged once.
    const QStringList sound = received(QStringLiteral("SND"));
    const QString rateAcknowledged = QStringLiteral("SET AR OK in=12000 out=44100");
    EXPECT_EQ(std::tuple(sound.value(0), sound.count(rateAcknowledged), sound.count(station)), std::tuple(auth, 1, 1));
    // A change goes out at once; Off keeps the fastest rows for the spectrum.
    client->setWaterfallSpeed(WaterfallSpeed::off);
    ASSERT_TRUE(QTest::qWaitFor([&] { return received(QStringLiteral("W/F")).size() > waterfallSetup.size(); }));
    EXPECT_EQ(received(QStringLiteral("W/F")).back(), QStringLiteral("SET wf_speed=4"));

    // Audio only flows after tuning, gain and the rate acknowledgement.
    ASSERT_TRUE(QTest::qWaitFor([&] { return audio->buffers() >= 4; }));
    EXPECT_EQ(audio->starts(), std::vector<double>{12000});
    ASSERT_TRUE(client->sMeter());
    EXPECT_GT(client->sMeter()->dBm, -70) << "the strong station at 9500 kHz";

    // The status page, read before this listener took a channel, is read
    // again while connected and then counts it.
    ASSERT_TRUE(QTest::qWaitFor([&] {
        const ReceiverInfo& info = client->info();
        return info.inactivityTimeoutMinutes && info.waterfallFPS && info.users == 1;
    }));
    // From the status page, load_cfg, the other sound-channel messages and
    // the waterfall channel; the version in one form from the page and the messages.
    const ReceiverInfo& info = client->info();
    EXPECT_EQ(std::tuple(info.hardware, info.antenna, info.inactivityTimeoutMinutes, info.sampleRate, info.waterfallFPS,
                  info.softwareVersion),
        std::tuple("KiwiSDR 2 (rxsim)", "Simulated 20 m dipole", 0, 12001.188119, 23, "1.560"));

    // The keepalive at its own period of 5 s, on both channels, after the
    // one each setup ends with.
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return received(QStringLiteral("SND")).count(keepalive) >= 2 && received(QStringLiteral("W/F")).count(keepalive) >= 2;
    }, 8000));
    EXPECT_LT(sinceConnect.elapsed(), 6500);
    EXPECT_GT(sinceConnect.elapsed(), 4500);
}

struct RxSimRefusal {
    const char* name;
    std::function<void(RxSimOptions&)> configure;
    const char* message;
    bool offersWebPage = false;
    bool final = false;
};

// Waits short enough for a test, with no jitter, so the try comes at once.
const ReconnectPolicy quickReconnects{.delays = {50ms}, .jitter = 0, .countdownStep = 10ms};

// Every refusal ends with its message; a final one is never answered by a
// second connection.
TEST_F(KiwiSessionRxSimTest, EveryRefusalTheReceiverMakesEndsWithItsMessage)
{
    const RxSimRefusal refusals[] = {
        {"--too-busy-after 2", [](RxSimOptions& o) { o.tooBusyAfter = 2, o.tooBusyDelay = 300ms; },
            "This receiver allows at most 2 connections from apps other than its web page, and others are "
            "using them, so it disconnected this one. Try again later or use its web page.",
            true},
        {"--badp 1", [](RxSimOptions& o) { o.badp = QStringLiteral("1"); },
            "Bad password, or all channels that don't require a password are busy.", false, true},
        {"--badp 6", [](RxSimOptions& o) { o.badp = QStringLiteral("6"); },
            "The receiver is updating its database. Try again in a minute."},
        {"--too-busy 3", [](RxSimOptions& o) { o.tooBusy = 3; },
            "All 3 channels on this receiver are in use. Try again later.", false, true},
        // The receiver offers only to wait for a free channel.
        {"--monitor", [](RxSimOptions& o) { o.monitor = true; },
            "All channels on this receiver are in use. Try again later."},
        {"--redirect", [](RxSimOptions& o) { o.redirect = QStringLiteral("http://other.example:8073/"); },
            "The receiver redirected the connection to http://other.example:8073/."},
        {"--down", [](RxSimOptions& o) { o.down = true; }, "The receiver is down for maintenance."},
        {"--ip-limit", [](RxSimOptions& o) { o.ipLimit = true; },
            "The receiver's 24-hour listening limit for your IP address has been reached.", false, true},
        {"--exclusive-use", [](RxSimOptions& o) { o.exclusiveUse = true; },
            "The receiver is currently reserved for exclusive use."},
        {"--kick", [](RxSimOptions& o) { o.kick = QStringLiteral("maintenance work"); },
            "Disconnected by the receiver: maintenance work", false, true},
        {"--inactivity-timeout 30", [](RxSimOptions& o) { o.inactivityTimeout = 30, o.inactivityDelay = 300ms; },
            "Disconnected after 30 minutes of inactivity. Reconnect to continue listening."},
        {"--drop-after", [](RxSimOptions& o) { o.dropAfter = 500ms; }, "The connection was closed by the server."},
    };
    for (const RxSimRefusal& refusal : refusals) {
        SCOPED_TRACE(refusal.name);
        commands.clear();
        startServer(refusal.configure);
        client->setReconnectPolicy(refusal.final ? std::optional(quickReconnects) : std::nullopt);
        connectToStation();
        EXPECT_FALSE(client->webPageAfterAppLimit()) << "a new connection forgets the last offer";
        ASSERT_TRUE(QTest::qWaitFor([&] { return client->state().isFailed(); }));
        EXPECT_EQ(client->state().message(), QString::fromUtf8(refusal.message));
        EXPECT_EQ(client->webPageAfterAppLimit(),
            refusal.offersWebPage ? std::optional(QUrl(QStringLiteral("http://%1/?f=9500.00am").arg(address())))
                                  : std::nullopt);
        if (refusal.final) {
            // Many times the wait before a try.
            QTest::qWait(400);
            EXPECT_EQ(std::tuple(soundConnections().size(), client->reconnectWait(), client->state().message()),
                std::tuple(1, std::nullopt, QString::fromUtf8(refusal.message)));
        }
        client->disconnect();
        EXPECT_TRUE(client->state().isFailed()) << "disconnect keeps the message visible";
        ASSERT_TRUE(QTest::qWaitFor([&] { return server->channelCount() == 0; }));
    }
}

TEST_F(KiwiSessionRxSimTest, RefusedWaterfallLeavesTheSoundPlaying)
{
    startServer([](RxSimOptions& o) { o.refuseWaterfall = true; });
    connectToStation();
    ASSERT_TRUE(QTest::qWaitFor([&] { return client->waterfallError().has_value(); }));
    const std::size_t before = audio->buffers();
    ASSERT_TRUE(QTest::qWaitFor([&] { return audio->buffers() >= before + 3; }));
    EXPECT_TRUE(client->state().isConnected());
    EXPECT_EQ(client->waterfallError(), QStringLiteral("All waterfall channels are in use."))
        << "the channel closing afterwards keeps the more specific message";
}

TEST_F(KiwiSessionRxSimTest, ABrokenConnectionComesBackWithTheListenersTuning)
{
    for (const bool restart : {false, true}) {
        SCOPED_TRACE(restart ? "restart on the same port" : "abrupt close");
        commands.clear();
        startServer([&](RxSimOptions& o) {
            if (!restart)
                o.dropAfter = 1500ms;
        });
        client->setReconnectPolicy(quickReconnects);
        connectToStation();
        ASSERT_TRUE(waitForState(ConnectionState::Kind::connected));
        client->setMode(Mode::usb, Passband{200, 2800});
        client->tune(9420);
        if (restart)
            restartServer();

        ASSERT_TRUE(QTest::qWaitFor([&] { return soundConnections().size() >= 2; }));
        ASSERT_TRUE(waitForState(ConnectionState::Kind::connected));
        // The new connection's first tuning is the old one.
        const QString second = soundConnections()[1];
        const auto firstTuning = [&] {
            for (const Command& c : commands)
                if (c.timestamp == second && c.text.startsWith("SET mod="))
                    return c.text;
            return QString();
        };
        ASSERT_TRUE(QTest::qWaitFor([&] { return !firstTuning().isEmpty(); }));
        EXPECT_EQ(firstTuning(), QStringLiteral("SET mod=usb low_cut=200 high_cut=2800 freq=9420.000"));
        client->disconnect();
    }
}

TEST_F(KiwiSessionRxSimTest, ConnectWhenFreeReadsOnlyTheStatusPageUntilAChannelIsFree)
{
    startServer([](RxSimOptions& o) { o.rxChannels = 1; });
    ReceiverClient other(QStringLiteral("Other"), recordingPlayer(std::make_shared<AudioRecording>()));
    other.connect(address());
    ASSERT_TRUE(QTest::qWaitFor([&] { return other.state().isConnected(); }));

    connectToStation();
    ASSERT_TRUE(waitForState(ConnectionState::Kind::failed));
    EXPECT_EQ(client->state().message(), "All 1 channels on this receiver are in use. Try again later.");
    ASSERT_TRUE(client->canWaitForFreeChannel());
    client->setFreeChannelPoll(50ms);
    client->waitForFreeChannel();
    EXPECT_EQ(std::tuple(client->freeChannelWaitSeconds(), client->canWaitForFreeChannel()), std::tuple(0, false));

    // Many polls while the other listener stays: no channel opened.
    const qsizetype before = soundConnections().size();
    QTest::qWait(500);
    EXPECT_EQ(std::tuple(soundConnections().size(), client->state().isFailed()), std::tuple(before, true));

    other.disconnect();
    ASSERT_TRUE(waitForState(ConnectionState::Kind::connected));
    EXPECT_EQ(std::tuple(soundConnections().size(), client->freeChannelWaitSeconds()),
        std::tuple(before + 1, std::nullopt));
}

} // namespace
