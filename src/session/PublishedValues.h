#pragma once
// Everything a session publishes, as one value, so that the session can tell
// after an operation which properties differ from before it.

#include "model/Mode.h"
#include "model/ReceiverModel.h"
#include "model/ReceiverProfile.h"
#include "model/ReceiverLabels.h"
#include "session/ReconnectSchedule.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QUrl>

#include <optional>

struct PublishedValues {
    ConnectionState state;
    std::optional<QUrl> serverURL;
    std::optional<ServerKind> serverKind;
    ReceiverInfo info;
    QList<ReceiverProfile> profiles;
    std::optional<QString> currentProfileID;
    std::optional<QUrl> webPageAfterAppLimit;
    double frequencyKHz = 7200.0;
    Mode mode = Mode::lsb;
    Passband passband{-2700, -300};
    bool agcEnabled = true;
    int manualGain = 50;
    std::optional<double> rssi;
    bool isADCOverloaded = false;
    int waterfallZoom = 0;
    double waterfallStartHz = 0;
    std::optional<QString> waterfallError;
    float volume = 0.8f;
    bool isMuted = false;
    QSet<QString> openWebRXModulations;
    ReceiverLabels receiverLabels;
    std::optional<ReconnectWait> reconnectWait;
    bool canWaitForFreeChannel = false;
    std::optional<int> freeChannelWaitSeconds;
};
