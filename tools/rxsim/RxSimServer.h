#pragma once
// The stand-in receiver: one port with the pages and WebSocket channels of one
// kind of server. A KiwiSDR has the status and root pages and the channels
// /ws/kiwi/<timestamp>/SND and /ws/kiwi/<timestamp>/W/F; an OpenWebRX server
// has the root page and one socket per listener at /ws/. Lives and works on
// the thread that owns it; tests run it in-process, the rxsim program wraps it
// in a command line.

#include "ChannelSlots.h"
#include "KiwiPages.h"
#include "RxSimOptions.h"
#include "SimBand.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>

#include <memory>
#include <optional>

class QWebSocket;

class HttpFrontEnd;
class KiwiChannel;
struct HttpPage;
struct KiwiChannelContext;
struct OpenWebRXChannelContext;

class RxSimServer : public QObject {
    Q_OBJECT

public:
    explicit RxSimServer(RxSimOptions options, QObject* parent = nullptr);
    ~RxSimServer() override;

    // Starts listening; gives the port (the chosen one when `port` is 0), or
    // 0 when the address cannot be bound.
    quint16 listen(const QHostAddress& address = QHostAddress::LocalHost, quint16 port = 0);

    // Open WebSocket channels, of any kind.
    int channelCount() const;

    // What the receiver says about itself; changed before a listener comes,
    // it is what that listener learns.
    SimReceiverDescription& receiver() { return receiver_; }

signals:
    // Every text message a client sends, as received: "SND" or "W/F", the
    // text, and the timestamp part of the channel's path; for OpenWebRX
    // "OWRX", the text and "-".
    void commandReceived(const QString& channel, const QString& text, const QString& timestamp);

private:
    HttpPage page(const QString& path) const;
    HttpPage openWebRXPage(const QString& path) const;
    // The public lists naming this receiver (DirectoryPages.h), for their paths.
    std::optional<HttpPage> directoryPage(const QString& path) const;
    void takeWebSockets();
    bool takeKiwiSocket(std::unique_ptr<QWebSocket>& socket);
    bool takeOpenWebRXSocket(std::unique_ptr<QWebSocket>& socket);
    void endListener(const QString& timestamp, bool drop);

    RxSimOptions options_;
    SimReceiverDescription receiver_;
    QElapsedTimer bandClock_;
    ChannelSlots soundSlots_;
    ChannelSlots waterfallSlots_;
    std::unique_ptr<KiwiChannelContext> context_;
    std::unique_ptr<OpenWebRXChannelContext> openWebRXContext_;
    std::unique_ptr<HttpFrontEnd> http_;
    quint16 port_ = 0;
};
