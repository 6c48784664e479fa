#pragma once
// One port for a stand-in receiver's HTTP pages and WebSocket channels:
// plain requests go to a page handler, WebSocket upgrades are handed over by
// QtHttpServer as ready QWebSockets. A page may be answered late or never,
// so that clients can be tested against slow servers.

#include <QAbstractHttpServer>
#include <QByteArray>
#include <QPointer>
#include <QString>
#include <QTcpSocket>

#include <chrono>
#include <functional>
#include <utility>
#include <vector>

struct HttpPage {
    int statusCode = 200;
    QByteArray reason = "OK";
    std::vector<std::pair<QByteArray, QByteArray>> headers;
    QByteArray body;
    std::chrono::milliseconds delay{0};
    bool neverAnswer = false;
    // When set, writes the whole answer itself (for answers too large or too
    // slow to hold); the rest above is not used.
    std::function<void(QTcpSocket* socket)> writeAnswer;
};

// The status line and headers of the answer, for a body of that many bytes.
QByteArray httpAnswerHead(const HttpPage& page, qint64 bodyBytes);

class QHttpServerRequest;
class QWebSocket;

class HttpFrontEnd : public QAbstractHttpServer {
    Q_OBJECT

public:
    // Gives the page for a request path (already percent-decoded).
    using PageHandler = std::function<HttpPage(const QString& path)>;
    // Gives the page for the whole request, its header fields included.
    using RequestHandler = std::function<HttpPage(const QHttpServerRequest& request)>;

    explicit HttpFrontEnd(PageHandler handler, QObject* parent = nullptr);
    explicit HttpFrontEnd(RequestHandler handler, QObject* parent = nullptr);

    // The TCP connection under a WebSocket this front end upgraded, for bytes
    // no QWebSocket would write; null when it is gone.
    QPointer<QTcpSocket> tcpSocketOf(const QWebSocket& socket);

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    RequestHandler handler_;
    std::vector<QPointer<QTcpSocket>> upgraded_;
};
