#include "HttpFrontEnd.h"

#include <QHttpServerRequest>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <QWebSocket>

#include <algorithm>

QByteArray httpAnswerHead(const HttpPage& page, qint64 bodyBytes)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(page.statusCode) + ' ' + page.reason + "\r\n";
    for (const auto& [name, value] : page.headers)
        head += name + ": " + value + "\r\n";
    return head + "Content-Length: " + QByteArray::number(bodyBytes) + "\r\nConnection: close\r\n\r\n";
}

namespace {

QByteArray responseBytes(const HttpPage& page)
{
    return httpAnswerHead(page, page.body.size()) + page.body;
}

void answer(const QPointer<QTcpSocket>& socket, const QByteArray& bytes)
{
    if (!socket || socket->state() != QAbstractSocket::ConnectedState)
        return;
    socket->write(bytes);
    socket->disconnectFromHost();
}

} // namespace

HttpFrontEnd::HttpFrontEnd(PageHandler handler, QObject* parent)
    : HttpFrontEnd(RequestHandler([handler = std::move(handler)](const QHttpServerRequest& request) {
          return handler(request.url().path());
      }),
          parent)
{
}

HttpFrontEnd::HttpFrontEnd(RequestHandler handler, QObject* parent)
    : QAbstractHttpServer(parent)
    , handler_(std::move(handler))
{
}

bool HttpFrontEnd::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket)
{
    // QtHttpServer hands an upgrade over as a WebSocket
    // (newWebSocketConnection) only when the request counts as handled.
    if (request.value("upgrade").compare("websocket", Qt::CaseInsensitive) == 0) {
        std::erase_if(upgraded_, [](const QPointer<QTcpSocket>& s) { return s.isNull(); });
        upgraded_.emplace_back(socket);
        return true;
    }

    const HttpPage page = handler_(request);
    if (page.neverAnswer)
        return true;
    if (page.writeAnswer) {
        page.writeAnswer(socket);
        return true;
    }
    const QByteArray bytes = responseBytes(page);
    const QPointer<QTcpSocket> target(socket);
    if (page.delay.count() <= 0)
        answer(target, bytes);
    else
        QTimer::singleShot(page.delay, this, [target, bytes] { answer(target, bytes); });
    return true;
}

QPointer<QTcpSocket> HttpFrontEnd::tcpSocketOf(const QWebSocket& socket)
{
    const auto found = std::find_if(upgraded_.begin(), upgraded_.end(), [&socket](const QPointer<QTcpSocket>& s) {
        return s && s->peerPort() == socket.peerPort() && s->peerAddress() == socket.peerAddress();
    });
    if (found == upgraded_.end())
        return nullptr;
    QPointer<QTcpSocket> tcp = *found;
    upgraded_.erase(found);
    return tcp;
}

void HttpFrontEnd::missingHandler(const QHttpServerRequest&, QTcpSocket* socket)
{
    HttpPage page;
    page.statusCode = 404;
    page.reason = "Not Found";
    answer(QPointer<QTcpSocket>(socket), responseBytes(page));
}
