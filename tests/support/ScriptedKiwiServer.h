#pragma once
// A stand-in receiver on 127.0.0.1 for session tests: one port serves plain
// HTTP answers the test scripts and accepts WebSocket channels, whose frames
// the test sends one by one and whose received commands it reads back.

#include <QHash>
#include <QTcpServer>
#include <QWebSocket>
#include <QWebSocketServer>

#include <memory>
#include <vector>

class ScriptedKiwiServer : public QObject {
public:
    struct HttpAnswer {
        QByteArray serverHeader;
        QByteArray body;
    };

    struct Channel {
        QString path;
        QWebSocket* socket = nullptr;
        QStringList received;
        bool closed = false;
        int closeCode = 0;
    };

    ScriptedKiwiServer();
    ~ScriptedKiwiServer() override;

    quint16 port() const { return tcp.serverPort(); }
    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(port()); }

    // Paths without an answer get 404 with an empty body.
    void answer(const QString& path, HttpAnswer answer) { answers.insert(path, std::move(answer)); }
    const QStringList& httpRequests() const { return requests; }

    int channelCount(const QString& suffix) const;
    // Waits until the index-th channel whose path ends with the suffix ("/SND",
    // "/W/F") is open; null on time-out.
    Channel* waitForChannel(const QString& suffix, int index = 0, int timeoutMs = 5000) const;
    // Waits until the channel has received at least `count` commands.
    static bool waitForCommands(const Channel* channel, int count, int timeoutMs = 5000);
    static bool waitForCommand(const Channel* channel, const QString& command, int timeoutMs = 5000);

    // A binary message (the frames of tools/rxsim/KiwiWire.h), or a "MSG".
    static void send(Channel* channel, const QByteArray& message) { channel->socket->sendBinaryMessage(message); }
    static void sendParams(Channel* channel, const QString& params);
    // Closes the channel from the server side.
    static void close(Channel* channel) { channel->socket->close(QWebSocketProtocol::CloseCodeNormal); }

private:
    void handleHttp(QTcpSocket* socket);

    QTcpServer tcp;
    QWebSocketServer webSockets;
    QHash<QString, HttpAnswer> answers;
    QStringList requests;
    std::vector<std::unique_ptr<Channel>> opened;
};
