#pragma once
// One listener's busy half-minute, over and over: connect, listen, retune,
// change mode and gain, zoom, pan, disconnect. One step a second.

#include "session/ReceiverClient.h"

#include <QObject>
#include <QTimer>

#include <cstdint>
#include <optional>

class SoakCycle : public QObject {
    Q_OBJECT

public:
    static constexpr int stepsPerCycle = 30;

    SoakCycle(ReceiverClient& client, QString address);

    void start();

    std::uint64_t cycles() const { return m_cycles; }
    // Cycles in which the session was not connected, or no row or sound came.
    std::uint64_t failedCycles() const { return m_failedCycles; }
    std::uint64_t rows() const { return m_rows; }

private:
    void step();
    void pan(double fraction);

    ReceiverClient& m_client;
    const QString m_address;
    QTimer m_timer;
    std::optional<ReceiverClient::RowBroadcaster::Subscription> m_subscription;
    int m_step = 0;
    std::uint64_t m_cycles = 0;
    std::uint64_t m_failedCycles = 0;
    std::uint64_t m_rows = 0;
    std::uint64_t m_rowsAtCycleStart = 0;
    bool m_heardSound = false;
};
