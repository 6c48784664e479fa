#include "session/ServerDetection.h"

#include "connection/BoundedHttpGet.h"
#include "connection/NetworkThread.h"
#include "kiwisdr/KiwiStatusPage.h"

bool identifiesKiwiSDR(const HttpResponse& statusResponse)
{
    if (statusResponse.serverHeader.contains("KiwiSDR"))
        return true;
    return statusResponse.statusCode == 200
        && QString::fromUtf8(statusResponse.body.left(ServerDetection::kiwiMarkerWindow))
               .contains(QStringLiteral("sw_version=KiwiSDR"));
}

bool identifiesOpenWebRX(const HttpResponse& rootResponse)
{
    return rootResponse.statusCode == 200
        && QString::fromUtf8(rootResponse.body.left(ServerDetection::openWebRXMarkerWindow))
               .contains(QStringLiteral("OpenWebRX"), Qt::CaseInsensitive);
}

ServerDetection::ServerDetection(QNetworkAccessManager& network, const QUrl& serverURL,
    std::function<void(ServerDetectionResult)> done, QObject* parent, std::chrono::milliseconds timeout)
    : QObject(parent)
    , network(network)
    , serverURL(serverURL)
    , timeout(timeout)
    , done(std::move(done))
{
    new BoundedHttpGet(network, kiwiStatusPageURL(serverURL), timeout, maxKiwiStatusPageBytes,
        [this](const std::optional<HttpResponse>& response) { statusAnswered(response); }, this);
}

void ServerDetection::statusAnswered(const std::optional<HttpResponse>& response)
{
    if (response && identifiesKiwiSDR(*response)) {
        // A status page may be a megabyte: it is read on the network thread.
        NetworkThread::compute(
            this, [body = response->body] { return parseKiwiStatusPage(body); },
            [this](QHash<QString, QString> fields) { done({ServerKind::kiwiSDR, std::move(fields)}); });
        return;
    }
    // Only the start of the page is looked at.
    new BoundedHttpGet(network, serverURL, timeout, openWebRXMarkerWindow,
        [this](const std::optional<HttpResponse>& response) { rootAnswered(response); }, this);
}

void ServerDetection::rootAnswered(const std::optional<HttpResponse>& response)
{
    done({response && identifiesOpenWebRX(*response) ? ServerKind::openWebRX : ServerKind::kiwiSDR,
        std::nullopt});
}
