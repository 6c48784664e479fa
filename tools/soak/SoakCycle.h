#pragma once
// One listener's busy half-minute, over and over: connect, listen, retune,
// change mode and gain, zoom, pan, disconnect. One step a second.

#include "session/KiwiSDRClient.h"

#include <QObject>
#include <QTimer>

#include <cstdint>
#include <optional>

class SoakCycle : public QObject {
    Q_OBJECT

public:
    static constexpr int stepsPerCycle = 30;

    SoakCycle(KiwiSDRClient& client, QString address);

    void start();

    std::uint64_t cycles() const { return m_cycles; }
    // Cycles in which the session was not connected, or no row or sound came.
    std::uint64_t failedCycles() const { return m_failedCycles; }
    std::uint64_t rows() const { return m_rows; }

private:
    void step();
    void pan(double fraction);

    KiwiSDRClient& m_client;
    const QString m_address;
    QTimer m_timer;
    std::optional<KiwiSDRClient::RowBroadcaster::Subscription> m_subscription;
    int m_step = 0;
    std::uint64_t m_cycles = 0;
    std::uint64_t m_failedCycles = 0;
    std::uint64_t m_rows = 0;
    std::uint64_t m_rowsAtCycleStart = 0;
    bool m_heardSound = false;
};
