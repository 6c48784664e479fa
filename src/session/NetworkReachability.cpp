#include "session/NetworkReachability.h"

#include "session/KiwiSDRClient.h"

#include <QNetworkInformation>

void followNetworkReachability(KiwiSDRClient& client)
{
    if (!QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability))
        return;
    QObject::connect(QNetworkInformation::instance(), &QNetworkInformation::reachabilityChanged, &client,
        [&client](QNetworkInformation::Reachability reachability) {
            if (reachability == QNetworkInformation::Reachability::Online)
                client.networkAvailable();
        });
}
