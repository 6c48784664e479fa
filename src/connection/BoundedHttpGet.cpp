#include "connection/BoundedHttpGet.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <algorithm>

BoundedHttpGet::BoundedHttpGet(QNetworkAccessManager& network, const QUrl& url,
    std::chrono::milliseconds timeout, qsizetype maxBodyBytes,
    std::function<void(std::optional<HttpResponse>)> done, QObject* parent)
    : QObject(parent)
    , maxBodyBytes(maxBodyBytes)
    , done(std::move(done))
{
    QNetworkRequest request(url);
    // Ends a request that stalls; the deadline ends one that trickles.
    request.setTransferTimeout(static_cast<int>(timeout.count()));
    reply = network.get(request);
    reply->setParent(this);
    connect(reply, &QNetworkReply::readyRead, this, &BoundedHttpGet::readAvailable);
    connect(reply, &QNetworkReply::finished, this, &BoundedHttpGet::finish);
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, this, [this] {
        timedOut = true;
        reply->abort();
    });
    deadline.start(timeout);
}

BoundedHttpGet::~BoundedHttpGet()
{
    // Deleting the reply below aborts it; nothing may reach `done` from there.
    finished = true;
    reply->disconnect(this);
}

void BoundedHttpGet::readAvailable()
{
    if (truncated)
        return;
    // What has come, not the bound: read(n) sets n bytes aside first.
    body += reply->read(std::min<qint64>(reply->bytesAvailable(), maxBodyBytes - body.size()));
    if (body.size() >= maxBodyBytes) {
        truncated = true;
        reply->abort();
    }
}

void BoundedHttpGet::finish()
{
    if (finished)
        return;
    readAvailable();
    finished = true;
    deadline.stop();
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const bool aborted = reply->error() == QNetworkReply::OperationCanceledError;
    if (timedOut || (aborted && !truncated) || !status.isValid()) {
        done(std::nullopt);
        return;
    }
    done(HttpResponse{status.toInt(), reply->rawHeader("Server"), body});
}
