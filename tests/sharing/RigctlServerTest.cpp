// The rigctl port as an open door: real sockets on 127.0.0.1 against the
// server's bounds, with a receiver that only notes what it is told.
#include "sharing/RigctlServer.h"

#include <QTcpSocket>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class RigctlServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        view.frequencyHz = 7'200'000;
        view.modes = {Mode::usb};
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    }

    std::unique_ptr<QTcpSocket> client()
    {
        auto socket = std::make_unique<QTcpSocket>();
        socket->connectToHost(QHostAddress::LocalHost, *server.port());
        EXPECT_TRUE(socket->waitForConnected(5000));
        return socket;
    }

    // The answer to a line, or nothing once the server closed the connection.
    static QByteArray ask(QTcpSocket& socket, const QByteArray& line)
    {
        socket.write(line + '\n');
        if (!QTest::qWaitFor(
                [&] { return socket.canReadLine() || socket.state() != QAbstractSocket::ConnectedState; }, 10000))
            return "(no answer)";
        return socket.readLine();
    }

    RigView view;
    std::vector<RigAction> applied;
    RigctlServer server{{[this] { return view; }, [this](const RigAction& action) { applied.push_back(action); }}};
};

TEST_F(RigctlServerTest, AnswersEachLineAndHandsTheSetsOn)
{
    auto socket = client();
    EXPECT_EQ(ask(*socket, "f"), "7200000\n");
    EXPECT_EQ(ask(*socket, "F 14074000"), "RPRT 0\n");
    ASSERT_EQ(applied.size(), 1u);
    EXPECT_EQ(std::get<RigTune>(applied.at(0)).frequencyHz, 14'074'000);
    EXPECT_EQ(ask(*socket, "\\send_morse CQ"), "RPRT -4\n");
    socket->write("q\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.clientCount() == 0; }, 5000));
}

TEST_F(RigctlServerTest, FourClientsAtMostAndALineOverOneKibibyteClosesItsConnection)
{
    std::vector<std::unique_ptr<QTcpSocket>> clients;
    for (int i = 0; i < RigctlServer::maxClients + 1; ++i)
        clients.push_back(client());
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return clients.back()->state() == QAbstractSocket::UnconnectedState; }, 5000));
    EXPECT_EQ(server.clientCount(), RigctlServer::maxClients);

    QTcpSocket& talker = *clients.front();
    const QByteArray blanks(RigctlServer::maxLineBytes - 1, ' ');
    EXPECT_EQ(ask(talker, "f" + blanks), "7200000\n");
    EXPECT_TRUE(ask(talker, "f " + blanks).isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return talker.state() == QAbstractSocket::UnconnectedState; }, 5000));
    // So is endless text without a line break.
    QTcpSocket& babbler = *clients.at(1);
    babbler.write(QByteArray(64 * 1024, 'f'));
    EXPECT_TRUE(QTest::qWaitFor([&] { return babbler.state() == QAbstractSocket::UnconnectedState; }, 5000));
    // A place is free again.
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.clientCount() == RigctlServer::maxClients - 2; }, 5000));
    auto late = client();
    EXPECT_EQ(ask(*late, "f"), "7200000\n");
}

TEST_F(RigctlServerTest, AClientThatNeverReadsItsAnswersDoesNotHoldUpAnother)
{
    auto flooder = client();
    auto other = client();
    QByteArray flood;
    for (int i = 0; i < 200'000; ++i)
        flood += "f\n";
    flooder->write(flood);
    EXPECT_EQ(ask(*other, "m"), "USB\n");
    EXPECT_EQ(server.clientCount(), 2);
}

} // namespace
