#pragma once
// What the stand-in KiwiSDR says about itself: the status page, the root
// page and the receiver configuration sent as "load_cfg".

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

struct SimReceiverDescription {
    QString name = QStringLiteral("Farlisten rxsim test receiver");
    QString location = QStringLiteral("Loopback, 127.0.0.1");
    QString antenna = QStringLiteral("Simulated 20 m dipole");
    QString grid = QStringLiteral("JO62qm");
    QString gps = QStringLiteral("(52.515000, 13.350000)");
    QString hardware = QStringLiteral("KiwiSDR 2 (rxsim)");
    int versionMajor = 1;
    int versionMinor = 560;
};

struct KiwiStatusFigures {
    int users = 0;
    int usersMax = 4;
    std::int64_t uptimeSeconds = 0;
    int apiChannels = 4;
};

inline constexpr const char* kiwiServerHeader = "KiwiSDR_Mongoose/1.560";

QByteArray kiwiStatusPage(const SimReceiverDescription& receiver, const KiwiStatusFigures& figures);
QByteArray kiwiRootPage(const SimReceiverDescription& receiver);
// The JSON text of "load_cfg", before percent-encoding.
QString kiwiConfigJson(const SimReceiverDescription& receiver, std::optional<int> inactivityTimeoutMinutes);
