#include "session/NetworkReachability.h"

#include "session/ReceiverClient.h"

#include <QNetworkInformation>
#include <QTimer>

void followNetworkReachability(ReceiverClient& client)
{
    // Loading the backend asks the network manager over D-Bus, about 15 ms:
    // done in a later turn, so that it does not hold up the window's first
    // showing. Only a broken connection waits for it, and none is broken yet.
    QTimer::singleShot(0, &client, [&client] {
        if (!QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability))
            return;
        QObject::connect(QNetworkInformation::instance(), &QNetworkInformation::reachabilityChanged, &client,
            [&client](QNetworkInformation::Reachability reachability) {
                if (reachability == QNetworkInformation::Reachability::Online)
                    client.networkAvailable();
            });
    });
}
