#pragma once
// Finds out which kind of server answers at an address: a KiwiSDR names itself
// in its status page, an OpenWebRX server in its start page; anything else is
// taken for a KiwiSDR, whose own channel then reports what is wrong.

#include "model/ReceiverModel.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QUrl>

#include <chrono>
#include <functional>
#include <optional>

class BoundedHttpGet;
class QNetworkAccessManager;
struct HttpResponse;

struct ServerDetectionResult {
    ServerKind kind = ServerKind::kiwiSDR;
    // The KiwiSDR status page, when it was what identified the server.
    std::optional<QHash<QString, QString>> statusFields;
};

// Whether a status page answer identifies a KiwiSDR.
bool identifiesKiwiSDR(const HttpResponse& statusResponse);
// Whether a start page answer identifies an OpenWebRX server.
bool identifiesOpenWebRX(const HttpResponse& rootResponse);

class ServerDetection : public QObject {
public:
    static constexpr std::chrono::milliseconds requestTimeout{10'000};
    static constexpr qsizetype kiwiMarkerWindow = 4096;
    static constexpr qsizetype openWebRXMarkerWindow = 8192;

    // `serverURL` is normalised (its path ends in "/"). `done` runs once, from
    // a reply's signal or a queued call: it must not delete this object
    // synchronously. `timeout` bounds each of the two requests.
    ServerDetection(QNetworkAccessManager& network, const QUrl& serverURL,
        std::function<void(ServerDetectionResult)> done, QObject* parent,
        std::chrono::milliseconds timeout = requestTimeout);

private:
    void statusAnswered(const std::optional<HttpResponse>& response);
    void rootAnswered(const std::optional<HttpResponse>& response);

    QNetworkAccessManager& network;
    const QUrl serverURL;
    const std::chrono::milliseconds timeout;
    const std::function<void(ServerDetectionResult)> done;
};
