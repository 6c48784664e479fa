#include "session/ServerDetection.h"

#include "session/BoundedHttpGet.h"
#include "session/StatusPage.h"

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
    std::function<void(ServerDetectionResult)> done, QObject* parent)
    : QObject(parent)
    , network(network)
    , serverURL(serverURL)
    , done(std::move(done))
{
    QUrl statusURL = serverURL;
    statusURL.setPath(serverURL.path() + QStringLiteral("status"));
    new BoundedHttpGet(network, statusURL, requestTimeout, maxStatusBytes,
        [this](const std::optional<HttpResponse>& response) { statusAnswered(response); }, this);
}

void ServerDetection::statusAnswered(const std::optional<HttpResponse>& response)
{
    if (response && identifiesKiwiSDR(*response)) {
        done({ServerKind::kiwiSDR, parseStatusPage(response->body)});
        return;
    }
    // Only the start of the page is looked at.
    new BoundedHttpGet(network, serverURL, requestTimeout, openWebRXMarkerWindow,
        [this](const std::optional<HttpResponse>& response) { rootAnswered(response); }, this);
}

void ServerDetection::rootAnswered(const std::optional<HttpResponse>& response)
{
    done({response && identifiesOpenWebRX(*response) ? ServerKind::openWebRX : ServerKind::kiwiSDR,
        std::nullopt});
}
