#include "HostileSocket.h"

#include "HostileWire.h"

#include <QTimer>

#include <chrono>

namespace {

// Abort anyway after this if the half frame never leaves.
constexpr auto abortDeadline = std::chrono::seconds(2);

} // namespace

void writeOversizedFrame(QTcpSocket& socket, const QByteArray& start)
{
    QByteArray payload(oversizedFrameBytes, '\0');
    payload.replace(0, start.size(), start);
    socket.write(webSocketFrameHeader(WebSocketOpcode::binary, static_cast<std::uint64_t>(payload.size())));
    socket.write(payload);
}

void writeHalfFrameAndAbort(QTcpSocket& socket, const QByteArray& message)
{
    socket.write(webSocketFrameHeader(WebSocketOpcode::binary, static_cast<std::uint64_t>(message.size())));
    socket.write(message.left(message.size() / 2));
    const QPointer<QTcpSocket> target(&socket);
    const auto abortWhenSent = [target] {
        if (target && target->bytesToWrite() == 0)
            target->abort();
    };
    QObject::connect(&socket, &QTcpSocket::bytesWritten, &socket, abortWhenSent);
    QTimer::singleShot(abortDeadline, &socket, [target] {
        if (target)
            target->abort();
    });
    socket.flush();
    abortWhenSent();
}

void writeInvalidTextFrame(QTcpSocket& socket, const QByteArray& payload)
{
    socket.write(webSocketFrameHeader(WebSocketOpcode::text, static_cast<std::uint64_t>(payload.size())));
    socket.write(payload);
}

SilentChannel::SilentChannel(std::unique_ptr<QWebSocket> socket, QObject* parent, const FirstMessage& first)
    : QObject(parent)
    , socket_(std::move(socket))
{
    connect(socket_.get(), &QWebSocket::disconnected, this, &QObject::deleteLater);
    if (first.bytes.isEmpty())
        return;
    if (first.binary)
        socket_->sendBinaryMessage(first.bytes);
    else
        socket_->sendTextMessage(QString::fromUtf8(first.bytes));
}

SilentChannel::~SilentChannel()
{
    socket_->disconnect(this);
    socket_->abort();
}
