#include "connection/WebSocketChannel.h"

#include "connection/NetworkThread.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWebSocket>

#include <QSslError>

#include <deque>

namespace {

// At most this many distinct reasons are named.
constexpr qsizetype maxCertificateReasons = 4;

QString untrustedCertificateText(const QList<QSslError>& errors)
{
    QStringList reasons;
    for (const QSslError& error : errors)
        if (!reasons.contains(error.errorString()) && reasons.size() < maxCertificateReasons)
            reasons.append(error.errorString());
    return QCoreApplication::translate("WebSocketChannel",
                                       "the receiver's certificate is not trusted (%1), so Farlisten does not "
                                       "connect to it")
        .arg(reasons.join(QStringLiteral("; ")));
}

} // namespace

class WebSocketChannel::Worker : public QObject {
public:
    Worker(MessageHandler onMessage, FailureHandler onFailure,
        std::shared_ptr<std::atomic<bool>> closed)
        : onMessage(std::move(onMessage))
        , onFailure(std::move(onFailure))
        , closed(std::move(closed))
    {
    }

    void open(const QUrl& url, std::chrono::milliseconds openTimeout)
    {
        setParent(NetworkThread::root());
        socket = new QWebSocket(QString(), QWebSocketProtocol::VersionLatest, this);
        socket->setMaxAllowedIncomingMessageSize(maxMessageBytes);
        socket->setMaxAllowedIncomingFrameSize(maxMessageBytes);
        QObject::connect(socket, &QWebSocket::connected, this, [this] {
            for (const QString& text : pending)
                socket->sendTextMessage(text);
            pending.clear();
            pendingBytes = 0;
        });
        QObject::connect(socket, &QWebSocket::binaryMessageReceived, this,
            [this](const QByteArray& message) { deliver(message); });
        QObject::connect(socket, &QWebSocket::textMessageReceived, this,
            [this](const QString& message) { deliver(message.toUtf8()); });
        // Certificate errors are never ignored: the socket gives up, and the
        // failure names what is wrong with the certificate.
        QObject::connect(socket, &QWebSocket::sslErrors, this, [this](const QList<QSslError>& errors) {
            untrustedCertificate = untrustedCertificateText(errors);
        });
        QObject::connect(socket, QOverload<QAbstractSocket::SocketError>::of(&QWebSocket::error),
            this, [this] { fail(untrustedCertificate.isEmpty() ? socket->errorString() : untrustedCertificate); });
        // A refused connection reports disconnected before its error: wait one
        // turn so that the error, when there is one, gives the description.
        QObject::connect(socket, &QWebSocket::disconnected, this, [this] {
            QMetaObject::invokeMethod(this, [this] { fail(describeClose()); }, Qt::QueuedConnection);
        });
        openTimer.setSingleShot(true);
        QObject::connect(&openTimer, &QTimer::timeout, this, [this, openTimeout] {
            // The timer is not restarted per message: it looks when the last
            // one came and waits the rest of the timeout.
            if (sinceMessage.isValid() && sinceMessage.elapsed() < openTimeout.count()) {
                openTimer.start(openTimeout - std::chrono::milliseconds(sinceMessage.elapsed()));
                return;
            }
            fail(sinceMessage.isValid()
                    ? QCoreApplication::translate("WebSocketChannel", "The receiver sent nothing for %1 seconds")
                          .arg(openTimeout.count() / 1000.0)
                    : QCoreApplication::translate("WebSocketChannel", "The connection timed out"));
            socket->abort();
        });
        openTimer.start(openTimeout);
        socket->open(url);
    }

    void send(const QString& text)
    {
        if (!socket)
            return;
        if (socket->state() == QAbstractSocket::ConnectedState) {
            socket->sendTextMessage(text);
            return;
        }
        if (socket->state() == QAbstractSocket::UnconnectedState)
            return;
        pendingBytes += text.size() * qsizetype(sizeof(QChar));
        if (pendingBytes > maxPendingBytes) {
            pending.clear();
            fail(QCoreApplication::translate("WebSocketChannel",
                "More than %1 KiB of messages waited for the connection to open")
                     .arg(maxPendingBytes / 1024));
            socket->abort();
            return;
        }
        pending.push_back(text);
    }

    // The close frame needs the connection for a moment longer; the worker
    // goes once the server answered it, or after a while if it never does.
    void closeAndDelete()
    {
        pending.clear();
        openTimer.stop();
        if (!socket || socket->state() == QAbstractSocket::UnconnectedState) {
            deleteLater();
            return;
        }
        QObject::connect(socket, &QWebSocket::disconnected, this, &QObject::deleteLater);
        QTimer::singleShot(closeTimeoutMs, this, &QObject::deleteLater);
        socket->close(QWebSocketProtocol::CloseCodeGoingAway);
    }

    void abortAndDelete()
    {
        if (socket)
            socket->abort();
        deleteLater();
    }

private:
    void deliver(const QByteArray& message)
    {
        // A server that falls silent, before its first message or after any
        // later one, would otherwise keep the session for ever.
        sinceMessage.start();
        if (!closed->load())
            onMessage(message);
    }

    void fail(const QString& description)
    {
        if (failed || closed->load())
            return;
        failed = true;
        openTimer.stop();
        onFailure(description);
    }

    QString describeClose() const
    {
        if (!untrustedCertificate.isEmpty())
            return untrustedCertificate;
        if (socket->error() != QAbstractSocket::UnknownSocketError)
            return socket->errorString();
        if (!socket->closeReason().isEmpty())
            return socket->closeReason();
        return QCoreApplication::translate("WebSocketChannel", "The remote host closed the connection");
    }

    const MessageHandler onMessage;
    const FailureHandler onFailure;
    const std::shared_ptr<std::atomic<bool>> closed;
    QWebSocket* socket = nullptr;
    QTimer openTimer{this};
    QElapsedTimer sinceMessage;
    std::deque<QString> pending;
    qsizetype pendingBytes = 0;
    bool failed = false;
    QString untrustedCertificate;
};

WebSocketChannel::WebSocketChannel(MessageHandler onMessage, FailureHandler onFailure)
    : closed(std::make_shared<std::atomic<bool>>(false))
{
    worker = new Worker(std::move(onMessage), std::move(onFailure), closed);
    worker->moveToThread(NetworkThread::root()->thread());
}

WebSocketChannel::~WebSocketChannel()
{
    if (isClosed)
        return;
    closed->store(true);
    QMetaObject::invokeMethod(worker, [w = worker] { w->abortAndDelete(); }, Qt::QueuedConnection);
}

void WebSocketChannel::open(const QUrl& url, std::chrono::milliseconds openTimeout)
{
    QMetaObject::invokeMethod(
        worker, [w = worker, url, openTimeout] { w->open(url, openTimeout); }, Qt::QueuedConnection);
}

void WebSocketChannel::sendText(const QString& text)
{
    if (isClosed)
        return;
    QMetaObject::invokeMethod(worker, [w = worker, text] { w->send(text); }, Qt::QueuedConnection);
}

void WebSocketChannel::close()
{
    if (isClosed)
        return;
    isClosed = true;
    closed->store(true);
    QMetaObject::invokeMethod(worker, [w = worker] { w->closeAndDelete(); }, Qt::QueuedConnection);
}
