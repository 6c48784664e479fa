#include "connection/WebSocketChannel.h"

#include "support/ScriptedKiwiServer.h"

#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <mutex>

namespace {

// What the handlers saw; they run on the network thread.
struct Received {
    std::mutex lock;
    std::vector<QByteArray> messages;
    std::vector<QString> failures;
    bool onGuiThread = false;

    std::size_t messageCount() { std::lock_guard guard(lock); return messages.size(); }
    std::size_t failureCount() { std::lock_guard guard(lock); return failures.size(); }
};

class WebSocketChannelTest : public ::testing::Test {
protected:
    ScriptedKiwiServer server;
    std::shared_ptr<Received> received = std::make_shared<Received>();
    std::unique_ptr<WebSocketChannel> socket = std::make_unique<WebSocketChannel>(
        [received = received, gui = QThread::currentThread()](const QByteArray& message) {
            std::lock_guard guard(received->lock);
            received->messages.push_back(message);
            received->onGuiThread = received->onGuiThread || QThread::currentThread() == gui;
        },
        [received = received](const QString& description) {
            std::lock_guard guard(received->lock);
            received->failures.push_back(description);
        });

    ScriptedKiwiServer::Channel* open(std::chrono::milliseconds timeout = WebSocketChannel::defaultOpenTimeout)
    {
        socket->open(QUrl("ws://" + server.address() + "/ws/test"), timeout);
        return server.waitForChannel("/ws/test");
    }

    // The failure, once there is one and no second one followed a moment
    // later; empty otherwise.
    QString onlyFailure()
    {
        if (!QTest::qWaitFor([&] { return received->failureCount() >= 1; }))
            return {};
        QTest::qWait(20);
        std::lock_guard guard(received->lock);
        return received->failures.size() == 1 ? received->failures[0] : QString();
    }
};

TEST_F(WebSocketChannelTest, SendsInCallOrderAndDeliversTextAsUTF8)
{
    socket->open(QUrl("ws://" + server.address() + "/ws/test"));
    // Sent before the connection is open: they all wait for it.
    QStringList sent;
    for (int i = 0; i < 200; ++i)
        socket->sendText(sent.emplace_back(QStringLiteral("SET %1").arg(i)));
    auto* channel = server.waitForChannel("/ws/test");
    ASSERT_TRUE(ScriptedKiwiServer::waitForCommands(channel, 200));
    EXPECT_EQ(channel->received, sent);

    channel->socket->sendTextMessage(QStringLiteral("MSG name=Zürich"));
    ScriptedKiwiServer::send(channel, QByteArray("SND\x02", 4));
    ASSERT_TRUE(QTest::qWaitFor([&] { return received->messageCount() == 2; }));
    std::lock_guard guard(received->lock);
    EXPECT_EQ(received->messages, (std::vector{QStringLiteral("MSG name=Zürich").toUtf8(), QByteArray("SND\x02", 4)}));
    EXPECT_FALSE(received->onGuiThread);
}

TEST_F(WebSocketChannelTest, SilenceAfterTheFirstMessagesIsOneFailure)
{
    using namespace std::chrono_literals;
    auto* channel = open(1500ms);
    ASSERT_TRUE(channel);
    // Messages keep it open past the timeout; then silence ends it.
    for (int i = 0; i < 10; ++i) {
        ScriptedKiwiServer::send(channel, QByteArray("MSG x=1"));
        QTest::qWait(200);
    }
    EXPECT_EQ(received->failureCount(), 0u);
    EXPECT_EQ(onlyFailure(), QStringLiteral("The receiver sent nothing for 1.5 seconds"));
}

TEST_F(WebSocketChannelTest, TooMuchWaitingForTheConnectionFailsIt)
{
    // Accepts the connection and never answers the handshake.
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    socket->open(QUrl(QStringLiteral("ws://127.0.0.1:%1/ws/test").arg(silent.serverPort())));
    const QString text(1000, u'x');
    for (qsizetype bytes = 0; bytes <= WebSocketChannel::maxPendingBytes; bytes += text.size() * 2)
        socket->sendText(text);
    EXPECT_EQ(onlyFailure(), QStringLiteral("More than 1024 KiB of messages waited for the connection to open"));
}

TEST_F(WebSocketChannelTest, MessagesUpTo16MiBArriveAndLargerOnesEndTheConnection)
{
    auto* channel = open();
    ASSERT_TRUE(channel);
    ScriptedKiwiServer::send(channel, QByteArray(WebSocketChannel::maxMessageBytes, 'x'));
    ASSERT_TRUE(QTest::qWaitFor([&] { return received->messageCount() == 1; }, 20000));
    ScriptedKiwiServer::send(channel, QByteArray(WebSocketChannel::maxMessageBytes + 1, 'x'));
    ASSERT_TRUE(QTest::qWaitFor([&] { return received->failureCount() == 1; }, 20000));
    EXPECT_EQ(received->messageCount(), 1u);
}

} // namespace
