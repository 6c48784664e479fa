#pragma once
// One HTTP GET whose answer is bounded in time and size, so that a server that
// answers slowly or endlessly cannot hold the session or its memory.

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <functional>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

struct HttpResponse {
    int statusCode = 0;
    QByteArray serverHeader; // the "Server" header field, empty when missing
    QByteArray body;         // at most the byte limit of the request
};

class BoundedHttpGet : public QObject {
public:
    // No response when the request failed, timed out, or was not answered by
    // an HTTP server. A body longer than maxBodyBytes is cut there and the
    // response is complete with what arrived. `done` runs once, from the
    // reply's signal, so it must not delete this object synchronously.
    BoundedHttpGet(QNetworkAccessManager& network, const QUrl& url, std::chrono::milliseconds timeout,
        qsizetype maxBodyBytes, std::function<void(std::optional<HttpResponse>)> done,
        QObject* parent);
    ~BoundedHttpGet() override;

private:
    void readAvailable();
    void finish();

    const qsizetype maxBodyBytes;
    const std::function<void(std::optional<HttpResponse>)> done;
    QNetworkReply* reply = nullptr;
    QTimer deadline;
    QByteArray body;
    bool truncated = false;
    bool timedOut = false;
    bool finished = false;
};
