#include "session/NetworkReachability.h"

#include "session/ReceiverClient.h"

#include <QNetworkInformation>

void followNetworkReachability(ReceiverClient& client)
{
    if (!QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability))
        return;
    QObject::connect(QNetworkInformation::instance(), &QNetworkInformation::reachabilityChanged, &client,
        [&client](QNetworkInformation::Reachability reachability) {
            if (reachability == QNetworkInformation::Reachability::Online)
                client.networkAvailable();
        });
}
