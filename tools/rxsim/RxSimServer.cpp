#include "RxSimServer.h"

#include "DirectoryPages.h"
#include "HostileKiwi.h"
#include "HostileOpenWebRX.h"
#include "HostileSocket.h"
#include "HttpFrontEnd.h"
#include "KiwiSoundChannel.h"
#include "KiwiWaterfallChannel.h"
#include "KiwiWire.h"
#include "OpenWebRXChannel.h"
#include "OpenWebRXPages.h"

#include <QRegularExpression>
#include <QTimer>
#include <QWebSocket>

namespace {

// More open channels than this and new ones are turned away at once.
constexpr int maxChannels = 64;

QByteArray textPlain()
{
    return QByteArrayLiteral("text/plain; charset=utf-8");
}

void makeNotFound(HttpPage& page)
{
    page.statusCode = 404;
    page.reason = "Not Found";
    page.headers.emplace_back("Content-Type", textPlain());
    page.body = "Not found\n";
}

} // namespace

RxSimServer::RxSimServer(RxSimOptions options, QObject* parent)
    : QObject(parent)
    , options_(std::move(options))
    , soundSlots_(options_.rxChannels)
    , waterfallSlots_(options_.waterfallChannels)
{
    bandClock_.start();
    if (options_.name)
        receiver_.name = *options_.name;
    if (options_.gps)
        receiver_.gps = *options_.gps;
    context_ = std::make_unique<KiwiChannelContext>(KiwiChannelContext{
        options_, SimBand::standard(), receiver_, bandClock_, soundSlots_, waterfallSlots_});
    openWebRXContext_ = std::make_unique<OpenWebRXChannelContext>(
        OpenWebRXChannelContext{options_, SimBand::standard(), receiver_, bandClock_, soundSlots_});
    http_ = std::make_unique<HttpFrontEnd>([this](const QString& path) { return page(path); });
    connect(http_.get(), &HttpFrontEnd::newWebSocketConnection, this, &RxSimServer::takeWebSockets);
}

RxSimServer::~RxSimServer()
{
    http_.reset();
    // The channels use the slots and the clock: they go before the members.
    qDeleteAll(findChildren<KiwiChannel*>(Qt::FindDirectChildrenOnly));
    qDeleteAll(findChildren<OpenWebRXChannel*>(Qt::FindDirectChildrenOnly));
}

quint16 RxSimServer::listen(const QHostAddress& address, quint16 port)
{
    port_ = http_->listen(address, port);
    return port_;
}

std::optional<HttpPage> RxSimServer::directoryPage(const QString& path) const
{
    const SimListingEntry entry{receiver_, options_.kind, QStringLiteral("http://127.0.0.1:%1").arg(port_),
        KiwiStatusFigures{soundSlots_.inUse(), soundSlots_.count(), 0, soundSlots_.count()}};
    HttpPage p;
    p.headers = {{"Content-Type", QByteArrayLiteral("text/html; charset=utf-8")}};
    if (path == QLatin1String("/map"))
        p.body = receiverBookMapPage(entry);
    else if (options_.kind == RxSimKind::openwebrx)
        return std::nullopt;
    else if (path == QLatin1String("/public/") || path == QLatin1String("/.public/"))
        p.body = kiwiPublicPage(entry);
    else if (path == QLatin1String("/kiwisdr_com.js"))
        p.body = kiwiScriptList(entry);
    else
        return std::nullopt;
    return p;
}

int RxSimServer::channelCount() const
{
    return static_cast<int>(findChildren<KiwiChannel*>(Qt::FindDirectChildrenOnly).size()
                            + findChildren<OpenWebRXChannel*>(Qt::FindDirectChildrenOnly).size()
                            + findChildren<SilentChannel*>(Qt::FindDirectChildrenOnly).size());
}

HttpPage RxSimServer::page(const QString& path) const
{
    if (std::optional<HttpPage> list = directoryPage(path))
        return *list;
    if (options_.kind == RxSimKind::openwebrx)
        return openWebRXPage(path);
    HttpPage p;
    p.headers = {{"Server", kiwiServerHeader}};
    if (path == QLatin1String("/status")) {
        const KiwiStatusFigures figures{soundSlots_.inUse(), soundSlots_.count(), bandClock_.elapsed() / 1000,
                                        soundSlots_.count()};
        p.headers.emplace_back("Content-Type", textPlain());
        p.body = kiwiStatusPage(receiver_, figures);
        p.delay = options_.statusDelay.value_or(std::chrono::milliseconds(0));
        p.neverAnswer = options_.statusNever;
        if (options_.hostile)
            makeStatusPageHostile(*options_.hostile, p);
    } else if (path == QLatin1String("/") || path.isEmpty()) {
        p.headers.emplace_back("Content-Type", QByteArrayLiteral("text/html; charset=utf-8"));
        p.body = kiwiRootPage(receiver_);
    } else {
        makeNotFound(p);
    }
    return p;
}

HttpPage RxSimServer::openWebRXPage(const QString& path) const
{
    HttpPage p;
    p.headers = {{"Server", "rxsim"}};
    if (path == QLatin1String("/") || path.isEmpty()) {
        p.headers.emplace_back("Content-Type", QByteArrayLiteral("text/html; charset=utf-8"));
        p.body = openWebRXRootPage(receiver_);
    } else {
        makeNotFound(p);
    }
    return p;
}

void RxSimServer::takeWebSockets()
{
    while (http_->hasPendingWebSocketConnections()) {
        std::unique_ptr<QWebSocket> socket = http_->nextPendingWebSocketConnection();
        if (!socket)
            continue;
        const bool taken = channelCount() < maxChannels
            && (options_.kind == RxSimKind::openwebrx ? takeOpenWebRXSocket(socket) : takeKiwiSocket(socket));
        if (taken)
            continue;
        QWebSocket* refused = socket.release();
        refused->setParent(this);
        refused->close(QWebSocketProtocol::CloseCodePolicyViolated);
        QTimer::singleShot(std::chrono::seconds(1), refused, &QObject::deleteLater);
    }
}

bool RxSimServer::takeKiwiSocket(std::unique_ptr<QWebSocket>& socket)
{
    static const QRegularExpression channelPath(
        QStringLiteral("^/ws/kiwi/([0-9A-Za-z_.-]{1,64})/(SND|W/F)$"));
    const QRegularExpressionMatch match = channelPath.match(socket->requestUrl().path());
    if (!match.hasMatch())
        return false;
    const QString timestamp = match.captured(1);
    if (options_.hostile == RxSimHostile::wsSilent || options_.hostile == RxSimHostile::silentAfterFirst) {
        SilentChannel::FirstMessage first{{}, true};
        if (options_.hostile == RxSimHostile::silentAfterFirst)
            first.bytes = kiwiMessageFrame(QStringLiteral("version_maj=1 version_min=560"));
        new SilentChannel(std::move(socket), this, first);
        return true;
    }
    const bool sound = match.captured(2) == QLatin1String("SND");
    KiwiChannel* channel = nullptr;
    if (sound && options_.hostile) {
        QPointer<QTcpSocket> tcp = http_->tcpSocketOf(*socket);
        channel = new HostileKiwiSoundChannel(std::move(socket), std::move(tcp), timestamp, *context_, this);
    }
    else if (sound)
        channel = new KiwiSoundChannel(std::move(socket), timestamp, *context_, this);
    else if (options_.hostile)
        channel = new HostileKiwiWaterfallChannel(std::move(socket), timestamp, *context_, this);
    else
        channel = new KiwiWaterfallChannel(std::move(socket), timestamp, *context_, this);
    connect(channel, &KiwiChannel::commandReceived, this, &RxSimServer::commandReceived);
    connect(channel, &KiwiChannel::finished, channel, &QObject::deleteLater);
    connect(channel, &KiwiChannel::listenerEnded, this,
            [this](const QString& ts) { endListener(ts, false); });
    connect(channel, &KiwiChannel::listenerDropped, this,
            [this](const QString& ts) { endListener(ts, true); });
    return true;
}

bool RxSimServer::takeOpenWebRXSocket(std::unique_ptr<QWebSocket>& socket)
{
    if (socket->requestUrl().path() != QLatin1String("/ws/"))
        return false;
    if (options_.hostile == RxSimHostile::wsSilent || options_.hostile == RxSimHostile::silentAfterFirst) {
        SilentChannel::FirstMessage first{{}, false};
        if (options_.hostile == RxSimHostile::silentAfterFirst)
            first.bytes = openWebRXHandshakeReply(options_.openWebRXVersion).toUtf8();
        new SilentChannel(std::move(socket), this, first);
        return true;
    }
    OpenWebRXChannel* channel = nullptr;
    if (options_.hostile) {
        QPointer<QTcpSocket> tcp = http_->tcpSocketOf(*socket);
        channel = new HostileOpenWebRXChannel(std::move(socket), std::move(tcp), *openWebRXContext_, this);
    } else
        channel = new OpenWebRXChannel(std::move(socket), *openWebRXContext_, this);
    connect(channel, &OpenWebRXChannel::commandReceived, this, &RxSimServer::commandReceived);
    connect(channel, &OpenWebRXChannel::finished, channel, &QObject::deleteLater);
    return true;
}

void RxSimServer::endListener(const QString& timestamp, bool drop)
{
    for (KiwiChannel* channel : findChildren<KiwiChannel*>(Qt::FindDirectChildrenOnly)) {
        if (channel->timestamp() != timestamp)
            continue;
        if (drop)
            channel->drop();
        else
            channel->close();
    }
}
