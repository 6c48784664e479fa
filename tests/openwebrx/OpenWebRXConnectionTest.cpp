// The session against a scripted OpenWebRX server on 127.0.0.1: the exact
// messages it sends, and what the server's configs and modes do to it.
#include "support/ScriptedKiwiServer.h"
#include "support/SessionTestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

using Channel = ScriptedKiwiServer::Channel;

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

class OpenWebRXConnectionTest : public SessionTest {
protected:
    ScriptedKiwiServer server;
    int marker = 1000;

    void SetUp() override
    {
        server.answer(QStringLiteral("/"), {{}, "<html><title>OpenWebRX | Test</title></html>"});
    }

    Channel* connectSocket(int index = 0)
    {
        client->connect(server.address());
        Channel* socket = server.waitForChannel(QStringLiteral("/ws/"), index);
        EXPECT_TRUE(ScriptedKiwiServer::waitForCommands(socket, 2));
        return socket;
    }

    // A session that took the 40 m band and started the demodulator.
    Channel* connectedSession(int index = 0)
    {
        Channel* socket = connectSocket(index);
        send(socket, "config", band40m());
        EXPECT_TRUE(waitForState(ConnectionState::Kind::connected));
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

    // Waits for the session's next message after `count` of them.
    static QJsonObject nextSent(const Channel* socket, int count)
    {
        EXPECT_TRUE(ScriptedKiwiServer::waitForCommands(socket, count + 1));
        return socket->received.size() > count ? QJsonDocument::fromJson(socket->received.at(count).toUtf8()).object()
                                               : QJsonObject();
    }
};

} // namespace

TEST_F(OpenWebRXConnectionTest, NarrowerModesSwitchTheModeAndRetune)
{
    client->restoreTuning(Mode::am, 0, 7100);
    Channel* socket = connectedSession();
    const int before = int(socket->received.size());
    send(socket, "modes",
        QJsonArray{QJsonObject{{"modulation", "usb"}, {"type", "analog"}},
            QJsonObject{{"modulation", "lsb"}, {"type", "analog"}},
            QJsonObject{{"modulation", "ft8"}, {"type", "digimode"}}});
    EXPECT_EQ(nextSent(socket, before), dspParams("lsb", 0, -2700, -300));
    EXPECT_EQ(std::tuple(client->mode(), client->availableModes()),
        std::tuple(Mode::lsb, QList<Mode>{Mode::lsb, Mode::usb}));
    // A mode still offered stays, and nothing is sent.
    send(socket, "modes", QJsonArray{QJsonObject{{"modulation", "lsb"}, {"type", "analog"}}});
    sync(socket);
    EXPECT_EQ(std::tuple(client->mode(), socket->received.size()), std::tuple(Mode::lsb, before + 1));
}

TEST_F(OpenWebRXConnectionTest, ClosedSocketFailsWithItsReasonWhileConnecting)
{
    Channel* socket = connectSocket();
    socket->socket->close(QWebSocketProtocol::CloseCodeNormal, QStringLiteral("Going down"));
    ASSERT_TRUE(waitForState(ConnectionState::Kind::failed));
    EXPECT_EQ(client->state(), ConnectionState::failed(QStringLiteral("The connection was closed: Going down")));

    ScriptedKiwiServer::close(connectedSession(1));
    ASSERT_TRUE(waitForState(ConnectionState::Kind::failed));
    EXPECT_EQ(client->state(), ConnectionState::failed(QStringLiteral("The connection was closed by the server.")));
}

TEST_F(OpenWebRXConnectionTest, ZoomFollowsTheFFTSizeAndStaysLocal)
{
    client->restoreTuning(Mode::usb, 4, 7050);
    Channel* socket = connectSocket();
    send(socket, "config", QJsonObject{{"fft_size", 1024}, {"max_clients", 5}});
    sync(socket);
    // A config without a band only describes the receiver.
    EXPECT_EQ(std::tuple(client->info().maxUsers, client->state().isConnecting()), std::tuple(5, true));
    QJsonObject band = band40m();
    band["fft_compression"] = "none";
    send(socket, "config", band);
    ASSERT_TRUE(ScriptedKiwiServer::waitForCommand(socket, compact(dspStart)));
    // A quarter of the band centred on 7050 kHz.
    EXPECT_EQ(std::tuple(client->info().maxZoom, client->waterfallZoom(), client->waterfallStartHz()),
        std::tuple(2, 2, 7'025'000));

    const float level = -100.0f;
    QByteArray frame(1, char(1));
    for (int bin = 0; bin < 1000; ++bin)
        frame.append(reinterpret_cast<const char*>(&level), sizeof level);
    const int before = int(socket->received.size());
    socket->socket->sendBinaryMessage(frame);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !rows.empty(); }));
    EXPECT_EQ(std::tuple(rows[0].bins, rows[0].startHz, rows[0].spanHz),
        std::tuple(std::vector<float>(250, -100.0f), 7'025'000, 50'000));

    client->sendZoomStart(client->clampedWaterfallStart(7'150'000, 50'000));
    socket->socket->sendBinaryMessage(frame);
    ASSERT_TRUE(QTest::qWaitFor([&] { return rows.size() == 2; }));
    EXPECT_EQ(rows[1].startHz, 7'150'000);
    sync(socket);
    EXPECT_EQ(socket->received.size(), before) << "zoom and pan send nothing";
}

// Labels come from an untrusted server: bounded in number and length, plain
// text, and numbers no receiver tunes to dropped.
TEST_F(OpenWebRXConnectionTest, ServerLabelsArriveBoundedAndPlain)
{
    Channel* socket = connectedSession();
    QJsonArray bookmarks{QJsonObject{{"name", "<b>Voice</b>\a\n"}, {"frequency", 7'200'000}, {"modulation", "lsb"}},
        QJsonObject{{"name", QString(200, u'x')}, {"frequency", 7'100'000}, {"modulation", "nonsense"}},
        QJsonObject{{"name", "below"}, {"frequency", -1}}, QJsonObject{{"name", "absurd"}, {"frequency", 1e300}},
        QJsonObject{{"name", "text"}, {"frequency", "7000000"}}, QJsonObject{{"name", 5}, {"frequency", 7'000'000}}};
    send(socket, "bookmarks", bookmarks);
    send(socket, "dial_frequencies",
        QJsonArray{QJsonObject{{"frequency", 7'074'000}, {"mode", "ft8"}}, QJsonObject{{"frequency", 7'074'000.5}}});
    sync(socket);
    const ReceiverLabels& labels = client->receiverLabels();
    EXPECT_EQ(labels.bookmarks,
        (std::vector<FrequencyLabel>{{7'200'000, "<b>Voice</b>", Mode::lsb, {}},
            {7'100'000, QString(64, u'x'), {}, "nonsense"}, {7'000'000, "", {}, {}}}));
    // A digital mode's dial is heard in USB and names its decoder.
    EXPECT_EQ(labels.dialFrequencies,
        (std::vector<FrequencyLabel>{{7'074'000, "FT8", Mode::usb, "ft8"}, {7'074'000.5, "", Mode::usb, {}}}));

    QJsonArray many;
    for (int i = 0; i < maxScaleLabels + 50; ++i)
        many.append(QJsonObject{{"frequency", 1000 + i}});
    send(socket, "bookmarks", many);
    sync(socket);
    EXPECT_EQ(client->receiverLabels().bookmarks.size(), std::size_t(maxScaleLabels));
    // A new connection starts without the last receiver's labels.
    client->disconnect();
    client->connect(server.address());
    EXPECT_TRUE(client->receiverLabels().bookmarks.empty());
}
