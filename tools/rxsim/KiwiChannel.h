#pragma once
// One WebSocket channel of a listener on the stand-in KiwiSDR: what the sound
// and waterfall channels share. Reads the client's commands (every one is
// reported, then checked), answers "SET auth" with acceptance or a refusal,
// closes the channel when keepalives stop, and sends frames without letting
// a slow client pile up unbounded output.

#include "ChannelSlots.h"
#include "KiwiPages.h"
#include "KiwiWire.h"
#include "RxSimOptions.h"
#include "SimBand.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QWebSocket>

#include <memory>
#include <optional>

struct KiwiChannelContext {
    const RxSimOptions& options;
    const SimBand& band;
    const SimReceiverDescription& receiver;
    // Band time: every channel's audio and waterfall follow this clock.
    const QElapsedTimer& bandClock;
    ChannelSlots& soundSlots;
    ChannelSlots& waterfallSlots;
};

class KiwiChannel : public QObject {
    Q_OBJECT

public:
    KiwiChannel(std::unique_ptr<QWebSocket> socket, QString timestamp, const KiwiChannelContext& context,
                QObject* parent);
    ~KiwiChannel() override;

    virtual QString channelName() const = 0;
    const QString& timestamp() const { return timestamp_; }

    // Close frame with code 1000; the peer gets a few seconds to answer.
    void close();
    // The TCP connection goes away without a close frame.
    void drop();

signals:
    void commandReceived(const QString& channel, const QString& text, const QString& timestamp);
    // The socket is gone; the owner deletes the channel.
    void finished();
    // This listener is done: the owner closes (or drops) all its channels.
    void listenerEnded(const QString& timestamp);
    void listenerDropped(const QString& timestamp);

protected:
    // The parameters to send instead of acceptance, or none to accept.
    virtual std::optional<QString> refusal() = 0;
    virtual void accepted() = 0;
    virtual void handleCommand(const KiwiCommand& command) = 0;

    void sendMessage(const QString& parameters);
    // False when the channel is closing or the client is too far behind;
    // the frame is then not sent.
    bool sendFrame(const QByteArray& frame);
    bool hasBacklog() const;
    // Sends a terminating parameter and ends the listener.
    void endListenerWith(const QString& parameters);
    bool isOpen() const { return !closing_; }
    QString peerAddress() const;

    const KiwiChannelContext& context_;

private:
    void textReceived(const QString& text);
    void authenticate(const QString& password);

    std::unique_ptr<QWebSocket> socket_;
    QString timestamp_;
    QTimer keepaliveTimer_;
    QTimer closeGraceTimer_;
    bool authenticated_ = false;
    bool closing_ = false;
    qint64 unwrittenBytes_ = 0;
};
