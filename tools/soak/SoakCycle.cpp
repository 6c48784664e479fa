#include "SoakCycle.h"

#include <cmath>
#include <utility>

SoakCycle::SoakCycle(ReceiverClient& client, QString address)
    : m_client(client)
    , m_address(std::move(address))
{
    m_timer.setInterval(1000);
    QObject::connect(&m_timer, &QTimer::timeout, this, &SoakCycle::step);
    // The S-meter moves only while sound frames arrive.
    QObject::connect(&m_client, &ReceiverClient::rssiChanged, this, [this] { m_heardSound = true; });
}

void SoakCycle::start()
{
    // Subscribed as the waterfall view is, for the whole run.
    m_subscription = m_client.rows().subscribe(this, [this](const WaterfallRow&) { ++m_rows; });
    step();
    m_timer.start();
}

void SoakCycle::pan(double fraction)
{
    const double spanHz = std::ldexp(m_client.info().bandwidthHz, -m_client.waterfallZoom());
    m_client.sendZoomStart(
        m_client.clampedWaterfallStart(m_client.waterfallStartHz() + fraction * spanHz, spanHz));
}

void SoakCycle::step()
{
    switch (m_step) {
    case 0:
        m_rowsAtCycleStart = m_rows;
        m_heardSound = false;
        m_client.connect(m_address, QString(), 7200.0, Mode::lsb);
        break;
    case 6:
        m_client.setMode(Mode::cw);
        m_client.tune(7030.0);
        break;
    case 7:
        m_client.setMode(Mode::am);
        m_client.tune(9500.0);
        break;
    case 8:
        m_client.setWaterfallZoom(3);
        break;
    case 9:
        pan(0.25);
        break;
    case 10:
        pan(-0.5);
        break;
    case 11:
        m_client.setWaterfallZoom(8);
        break;
    case 12:
        pan(0.3);
        break;
    case 13:
        m_client.setWaterfallZoom(14);
        break;
    case 14:
        m_client.setWaterfallZoom(0);
        break;
    case 15:
        m_client.tune(6070.0);
        m_client.setAGC(false, 60);
        break;
    case 16:
        m_client.setAGC(true);
        break;
    case 20:
        m_client.tune(15400.0);
        break;
    case 21:
        m_client.setMode(Mode::lsb);
        m_client.tune(7200.0);
        break;
    case 28:
        ++m_cycles;
        if (!m_client.state().isConnected() || m_rows == m_rowsAtCycleStart || !m_heardSound)
            ++m_failedCycles;
        m_client.disconnect();
        break;
    default:
        break;
    }
    m_step = (m_step + 1) % stepsPerCycle;
}
