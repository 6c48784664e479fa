// Tuning: frequency, mode and passband, gain, and the waterfall's zoom and
// position. State changes first; the server is told when a channel is open.
#include "session/KiwiSDRClient.h"

#include "openwebrx/OpenWebRXPipeline.h"
#include "session/KiwiCommands.h"
#include "session/KiwiWebSocket.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int maxManualGain = 120;

// Raises to the lower bound first, so an upper bound below it wins.
double clampedLowFirst(double value, double low, double high)
{
    return std::min(std::max(value, low), high);
}

} // namespace

void KiwiSDRClient::restoreTuning(KiwiMode mode, int zoom, double frequencyKHz)
{
    if (std::isfinite(frequencyKHz))
        setFrequencyKHz(frequencyKHz);
    setModeValue(mode);
    setPassband(defaultPassband(mode));
    setWaterfallZoomValue(std::max(zoom, 0));
}

void KiwiSDRClient::tune(double frequencyKHz)
{
    if (!std::isfinite(frequencyKHz))
        return;
    setFrequencyKHz(clampedLowFirst(frequencyKHz, m_info.baseHz / 1000,
        (m_info.baseHz + m_info.bandwidthHz) / 1000));
    sendTune();
    if (m_waterfallZoom > 0) {
        const double hz = m_frequencyKHz * 1000;
        const double spanHz = std::ldexp(m_info.bandwidthHz, -m_waterfallZoom);
        if (hz < m_waterfallStartHz || hz > m_waterfallStartHz + spanHz)
            setWaterfallZoom(m_waterfallZoom);
    }
}

void KiwiSDRClient::setMode(KiwiMode mode, std::optional<KiwiPassband> passband)
{
    setModeValue(mode);
    setPassband(passband.value_or(defaultPassband(mode)));
    sendTune();
}

void KiwiSDRClient::setAGC(bool enabled, std::optional<int> manualGain)
{
    setAGCEnabled(enabled);
    if (manualGain)
        setManualGain(std::clamp(*manualGain, 0, maxManualGain));
    sendAGC();
}

void KiwiSDRClient::sendTune()
{
    if (m_serverKind == ServerKind::openWebRX) {
        sendOpenWebRXDSPControl();
        return;
    }
    if (m_soundSocket)
        m_soundSocket->sendText(kiwiTuneCommand(m_mode, m_passband, m_frequencyKHz));
}

void KiwiSDRClient::sendAGC()
{
    if (m_soundSocket)
        m_soundSocket->sendText(kiwiAGCCommand(m_agcEnabled, m_manualGain));
}

void KiwiSDRClient::setWaterfallZoom(int zoom)
{
    zoom = std::min(std::max(zoom, 0), std::min(m_info.maxZoom, m_info.zoomCap));
    setWaterfallZoomValue(zoom);
    const double spanHz = std::ldexp(m_info.bandwidthHz, -zoom);
    const double startHz = m_frequencyKHz * 1000 - spanHz / 2;
    sendZoomStart(clampedWaterfallStart(startHz, spanHz));
}

double KiwiSDRClient::clampedWaterfallStart(double startHz, double spanHz) const
{
    return clampedLowFirst(startHz, m_info.baseHz, m_info.baseHz + m_info.bandwidthHz - spanHz);
}

void KiwiSDRClient::sendZoomStart(double startHz)
{
    if (!std::isfinite(startHz))
        return;
    setWaterfallStartHz(startHz);
    if (m_serverKind == ServerKind::openWebRX) {
        // Zoom and pan crop the full band locally; the server is not told.
        openWebRXPipeline().setView(m_waterfallZoom, startHz);
        return;
    }
    if (!m_waterfallSocket)
        return;
    if (const auto command = kiwiZoomCommand(m_waterfallZoom, startHz, m_info.bandwidthHz, m_info.maxZoom))
        m_waterfallSocket->sendText(*command);
}
