#include "ScriptedKiwiServer.h"

#include "KiwiWire.h"

#include <QTcpSocket>
#include <QTest>
#include <QWebSocket>

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
            auto channel = std::make_unique<Channel>();
            channel->path = socket->requestUrl().path();
            channel->socket = socket;
            Channel* raw = channel.get();
            connect(socket, &QWebSocket::textMessageReceived, this,
                [raw](const QString& text) { raw->received.append(text); });
            connect(socket, &QWebSocket::disconnected, this, [raw] {
                raw->closed = true;
                raw->closeCode = raw->socket->closeCode();
            });
            opened.push_back(std::move(channel));
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
    const HttpAnswer answer = found != answers.constEnd() ? *found : HttpAnswer{404, {}, {}};
    QByteArray response = "HTTP/1.1 " + QByteArray::number(answer.status) + " Scripted\r\n";
    response += "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n";
    if (!answer.serverHeader.isEmpty())
        response += "Server: " + answer.serverHeader + "\r\n";
    response += "Connection: close\r\n\r\n";
    socket->write(response + answer.body);
    socket->disconnectFromHost();
}

ScriptedKiwiServer::Channel* ScriptedKiwiServer::channel(const QString& suffix, int index) const
{
    int seen = 0;
    for (const auto& channel : opened) {
        if (channel->path.endsWith(suffix) && seen++ == index)
            return channel.get();
    }
    return nullptr;
}

int ScriptedKiwiServer::channelCount(const QString& suffix) const
{
    int count = 0;
    for (const auto& channel : opened)
        count += channel->path.endsWith(suffix) ? 1 : 0;
    return count;
}

ScriptedKiwiServer::Channel* ScriptedKiwiServer::waitForChannel(
    const QString& suffix, int index, int timeoutMs) const
{
    if (!QTest::qWaitFor([&] { return channel(suffix, index) != nullptr; }, timeoutMs))
        return nullptr;
    return channel(suffix, index);
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

void ScriptedKiwiServer::close(Channel* channel)
{
    channel->socket->close(QWebSocketProtocol::CloseCodeNormal);
}
