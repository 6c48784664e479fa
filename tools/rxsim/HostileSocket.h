#pragma once
// What a hostile server does to the connection itself, beneath the WebSocket
// layer: frames no QWebSocket would write, straight onto the TCP connection,
// and a socket that is opened and then never answered.

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QTcpSocket>
#include <QWebSocket>

#include <memory>

// One past what a client may be expected to take in one message.
inline constexpr qint64 oversizedFrameBytes = 16 * 1024 * 1024 + 1;

// One binary frame of oversizedFrameBytes: `start`, then zeros. The payload is
// made once, handed to the socket and released.
void writeOversizedFrame(QTcpSocket& socket, const QByteArray& start);

// The header and the first half of the payload of a binary frame carrying
// `message`, then, once that left, the connection is aborted.
void writeHalfFrameAndAbort(QTcpSocket& socket, const QByteArray& message);

// A text frame whose payload is not UTF-8.
void writeInvalidTextFrame(QTcpSocket& socket, const QByteArray& payload);

// A WebSocket that was opened and is then ignored: nothing is sent but the
// first message, when there is one (binary or text), nothing read is
// answered. Goes when the client goes.
class SilentChannel : public QObject {
    Q_OBJECT

public:
    struct FirstMessage {
        QByteArray bytes;
        bool binary;
    };
    SilentChannel(std::unique_ptr<QWebSocket> socket, QObject* parent, const FirstMessage& first = {});
    ~SilentChannel() override;

private:
    std::unique_ptr<QWebSocket> socket_;
};
