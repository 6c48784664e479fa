#include "KiwiChannel.h"

#include <QUrl>

#include <algorithm>

namespace {

// Client commands are short; anything larger is not a command.
constexpr qint64 maxIncomingMessage = 64 * 1024;
// Frames waiting for a slow client beyond this are skipped, not queued.
constexpr qint64 maxBacklogBytes = 256 * 1024;
constexpr auto closeGrace = std::chrono::seconds(5);

} // namespace

KiwiChannel::KiwiChannel(std::unique_ptr<QWebSocket> socket, QString timestamp,
                         const KiwiChannelContext& context, QObject* parent)
    : QObject(parent)
    , context_(context)
    , socket_(std::move(socket))
    , timestamp_(std::move(timestamp))
{
    socket_->setMaxAllowedIncomingMessageSize(maxIncomingMessage);
    socket_->setMaxAllowedIncomingFrameSize(maxIncomingMessage);
    connect(socket_.get(), &QWebSocket::textMessageReceived, this, &KiwiChannel::textReceived);
    connect(socket_.get(), &QWebSocket::disconnected, this, &KiwiChannel::finished);
    // A client that left while its socket waited to be taken never says so
    // again: such a channel ends at once.
    if (socket_->state() != QAbstractSocket::ConnectedState)
        QMetaObject::invokeMethod(this, &KiwiChannel::finished, Qt::QueuedConnection);
    connect(socket_.get(), &QWebSocket::bytesWritten, this,
            [this](qint64 bytes) { unwrittenBytes_ = std::max<qint64>(0, unwrittenBytes_ - bytes); });

    keepaliveTimer_.setSingleShot(true);
    keepaliveTimer_.setInterval(context_.options.keepaliveTimeout);
    connect(&keepaliveTimer_, &QTimer::timeout, this, &KiwiChannel::close);
    keepaliveTimer_.start();

    closeGraceTimer_.setSingleShot(true);
    connect(&closeGraceTimer_, &QTimer::timeout, this, &KiwiChannel::drop);
}

KiwiChannel::~KiwiChannel()
{
    socket_->disconnect(this);
    socket_->abort();
}

void KiwiChannel::close()
{
    if (closing_)
        return;
    closing_ = true;
    keepaliveTimer_.stop();
    socket_->close(QWebSocketProtocol::CloseCodeNormal);
    closeGraceTimer_.start(closeGrace);
}

void KiwiChannel::drop()
{
    closing_ = true;
    keepaliveTimer_.stop();
    closeGraceTimer_.stop();
    socket_->abort();
    // Aborting a socket that is already gone reports nothing.
    emit finished();
}

void KiwiChannel::sendMessage(const QString& parameters)
{
    if (closing_)
        return;
    const QByteArray frame = kiwiMessageFrame(parameters);
    unwrittenBytes_ += frame.size();
    socket_->sendBinaryMessage(frame);
}

bool KiwiChannel::hasBacklog() const
{
    return unwrittenBytes_ > maxBacklogBytes;
}

bool KiwiChannel::sendFrame(const QByteArray& frame)
{
    if (closing_ || hasBacklog())
        return false;
    unwrittenBytes_ += frame.size();
    socket_->sendBinaryMessage(frame);
    return true;
}

void KiwiChannel::endListenerWith(const QString& parameters)
{
    sendMessage(parameters);
    close();
    emit listenerEnded(timestamp_);
}

QString KiwiChannel::peerAddress() const
{
    return socket_->peerAddress().toString();
}

void KiwiChannel::textReceived(const QString& text)
{
    emit commandReceived(channelName(), text, timestamp_);
    if (closing_)
        return;
    const std::optional<KiwiCommand> command = parseKiwiCommand(text);
    if (!command || command->verb != QLatin1String("SET"))
        return;
    if (command->has(u"keepalive")) {
        keepaliveTimer_.start();
        return;
    }
    if (command->has(u"auth")) {
        if (!authenticated_)
            authenticate(QUrl::fromPercentEncoding(command->value(u"p").value_or(QString()).toUtf8()));
        return;
    }
    // A real receiver ignores everything until the client has authenticated.
    if (authenticated_)
        handleCommand(*command);
}

void KiwiChannel::authenticate(const QString& password)
{
    authenticated_ = true;
    // A wrong password is refused the way a receiver refuses it.
    const std::optional<QString>& required = context_.options.password;
    const std::optional<QString> refused =
        required && password != *required ? std::optional<QString>(QStringLiteral("badp=1")) : refusal();
    if (refused) {
        sendMessage(*refused);
        close();
        return;
    }
    accepted();
}
