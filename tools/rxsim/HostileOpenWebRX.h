#pragma once
// The stand-in OpenWebRX server as a hostile server (--hostile): after the
// normal handshake, config and band, the socket plays out one case.

#include "OpenWebRXChannel.h"

#include <QPointer>
#include <QTcpSocket>

class HostileOpenWebRXChannel : public OpenWebRXChannel {
    Q_OBJECT

public:
    HostileOpenWebRXChannel(std::unique_ptr<QWebSocket> socket, QPointer<QTcpSocket> tcp,
                            const OpenWebRXChannelContext& context, QObject* parent);

protected:
    void handshake() override;

private:
    void floodTick();
    void decoderFloodTick();
    void sendInvalidText();
    void sendDeepJson();
    void sendAbsurdNumbers();
    // A JSON message as a binary message: its bytes arrive as they are,
    // where a text message would have to be UTF-8.
    void sendBytes(const QByteArray& bytes);

    QPointer<QTcpSocket> tcp_;
    QTimer floodTimer_;
    std::int64_t decodesSent_ = 0;
};
