#include "support/ScriptedKiwiServer.h"

#include "KiwiWire.h"

#include <QTcpSocket>
#include <QTest>

#include <algorithm>

ScriptedKiwiServer::ScriptedKiwiServer()
    : webSockets(QStringLiteral("scripted"), QWebSocketServer::NonSecureMode)
{
    tcp.listen(QHostAddress::LocalHost);
    connect(&tcp, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = tcp.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { handleHttp(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
    connect(&webSockets, &QWebSocketServer::newConnection, this, [this] {
        while (QWebSocket* socket = webSockets.nextPendingConnection()) {
            Channel* raw = opened.emplace_back(new Channel{socket->requestUrl().path(), socket, {}}).get();
            connect(socket, &QWebSocket::textMessageReceived, this,
                [raw](const QString& text) { raw->received.append(text); });
            connect(socket, &QWebSocket::disconnected, this, [raw] {
                raw->closed = true;
                raw->closeCode = raw->socket->closeCode();
            });
        }
    });
}

ScriptedKiwiServer::~ScriptedKiwiServer()
{
    for (const auto& channel : opened) {
        channel->socket->disconnect(this);
        channel->socket->abort();
        delete channel->socket;
    }
}

void ScriptedKiwiServer::handleHttp(QTcpSocket* socket)
{
    const QByteArray head = socket->peek(socket->bytesAvailable());
    if (!head.contains("\r\n\r\n"))
        return;
    socket->disconnect(this);
    if (head.toLower().contains("upgrade: websocket")) {
        webSockets.handleConnection(socket);
        return;
    }
    socket->readAll();
    const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
    const QString path = requestLine.size() > 1 ? QString::fromUtf8(requestLine[1]) : QString();
    requests.append(path);
    const auto found = answers.constFind(path);
    const bool known = found != answers.constEnd();
    const HttpAnswer answer = known ? *found : HttpAnswer{};
    QByteArray response = known ? "HTTP/1.1 200 Scripted\r\n" : "HTTP/1.1 404 Scripted\r\n";
    response += "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n";
    if (!answer.serverHeader.isEmpty())
        response += "Server: " + answer.serverHeader + "\r\n";
    response += "Connection: close\r\n\r\n";
    socket->write(response + answer.body);
    socket->disconnectFromHost();
}

int ScriptedKiwiServer::channelCount(const QString& suffix) const
{
    return int(std::count_if(opened.begin(), opened.end(), [&](const auto& c) { return c->path.endsWith(suffix); }));
}

ScriptedKiwiServer::Channel* ScriptedKiwiServer::waitForChannel(const QString& suffix, int index, int timeoutMs) const
{
    const auto found = [&]() -> Channel* {
        int seen = 0;
        for (const auto& channel : opened)
            if (channel->path.endsWith(suffix) && seen++ == index)
                return channel.get();
        return nullptr;
    };
    return QTest::qWaitFor([&] { return found() != nullptr; }, timeoutMs) ? found() : nullptr;
}

bool ScriptedKiwiServer::waitForCommands(const Channel* channel, int count, int timeoutMs)
{
    return channel && QTest::qWaitFor([&] { return channel->received.size() >= count; }, timeoutMs);
}

bool ScriptedKiwiServer::waitForCommand(const Channel* channel, const QString& command, int timeoutMs)
{
    return channel && QTest::qWaitFor([&] { return channel->received.contains(command); }, timeoutMs);
}

void ScriptedKiwiServer::sendParams(Channel* channel, const QString& params)
{
    send(channel, kiwiMessageFrame(params));
}
