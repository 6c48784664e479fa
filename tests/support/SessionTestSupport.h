#pragma once
// What the session tests share: a session whose player plays nothing and the
// rows it hands out; against rxsim, also every command the receiver got.

#include "session/ReceiverClient.h"

#include "RxSimServer.h"
#include "common/RecordingAudioEngine.h"

#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

class SessionTest : public ::testing::Test {
protected:
    std::shared_ptr<AudioRecording> audio = std::make_shared<AudioRecording>();
    std::shared_ptr<AudioPlayer> player = recordingPlayer(audio);
    std::unique_ptr<ReceiverClient> client = std::make_unique<ReceiverClient>(QStringLiteral("Farlisten"), player);
    QObject view;
    std::vector<WaterfallRow> rows;
    ReceiverClient::RowBroadcaster::Subscription subscription =
        client->rows().subscribe(&view, [this](WaterfallRow row) { rows.push_back(std::move(row)); });

    // The session goes before the server the test fixture holds.
    void TearDown() override { client->disconnect(); }

    bool waitForState(ConnectionState::Kind kind)
    {
        return QTest::qWaitFor([&] { return client->state().kind() == kind; });
    }
};

class RxSimSessionTest : public SessionTest {
protected:
    struct Command {
        QString channel;
        QString text;
        QString timestamp;
    };
    std::unique_ptr<RxSimServer> server;
    quint16 port = 0;
    std::vector<Command> commands;

    // The options the receiver starts with are the defaults as `configure` changes them.
    void startServer(const std::function<void(RxSimOptions&)>& configure = {}, quint16 at = 0)
    {
        RxSimOptions options;
        if (configure)
            configure(options);
        server = std::make_unique<RxSimServer>(std::move(options));
        port = server->listen(QHostAddress::LocalHost, at);
        ASSERT_NE(port, 0);
        QObject::connect(server.get(), &RxSimServer::commandReceived,
            [this](const QString& channel, const QString& text, const QString& timestamp) {
                commands.push_back({channel, text, timestamp});
            });
    }

    // Starts listening again on the port of the server before, as a
    // receiver does after a restart.
    void restartServer()
    {
        const quint16 before = port;
        server.reset();
        startServer({}, before);
        ASSERT_EQ(port, before);
    }

    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(port); }

    // The timestamps of the sound channels opened, one per connection.
    QStringList soundConnections() const
    {
        QStringList stamps;
        for (const Command& command : commands)
            if (command.channel == u"SND" && !stamps.contains(command.timestamp))
                stamps.append(command.timestamp);
        return stamps;
    }

    QStringList received(const QString& channel) const
    {
        QStringList texts;
        for (const Command& command : commands)
            if (command.channel == channel)
                texts.append(command.text);
        return texts;
    }
};
