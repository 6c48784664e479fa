// Tuning: frequency, mode and passband, gain, the waterfall's zoom and
// position, the band profile, and the volume. State changes first; the
// connection is told when there is one.
#include "session/ReceiverClient.h"

#include "audio/AudioPlayer.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int maxManualGain = 120;

} // namespace

void ReceiverClient::restoreTuning(Mode mode, int zoom, double frequencyKHz)
{
    const Operation operation(*this);
    if (std::isfinite(frequencyKHz))
        publish<P::frequencyKHz>(frequencyKHz);
    publish<P::mode>(mode);
    publish<P::passband>(defaultPassband(mode));
    publish<P::waterfallZoom>(std::max(zoom, 0));
}

void ReceiverClient::tune(double frequencyKHz)
{
    const Operation operation(*this);
    if (!std::isfinite(frequencyKHz))
        return;
    const ReceiverInfo& info = m_values.info;
    publish<P::frequencyKHz>(frequencyInBandKHz(frequencyKHz, info.baseHz, info.bandwidthHz));
    sendTune();
    const int zoom = m_values.waterfallZoom;
    if (zoom > 0) {
        const double hz = m_values.frequencyKHz * 1000;
        const double spanHz = std::ldexp(info.bandwidthHz, -zoom);
        if (hz < m_values.waterfallStartHz || hz > m_values.waterfallStartHz + spanHz)
            setWaterfallZoom(zoom);
    }
}

void ReceiverClient::setMode(Mode mode, std::optional<Passband> passband)
{
    const Operation operation(*this);
    // The mode a decoder runs on, chosen again, keeps the decoder's passband.
    if (m_values.decoder && mode == m_values.mode && !passband)
        return;
    const Mode previous = m_values.mode;
    publish<P::mode>(mode);
    publish<P::passband>(passband.value_or(defaultPassband(mode)));
    sendTuningWithDecoder(previous);
}

void ReceiverClient::setAGC(bool enabled, std::optional<int> manualGain)
{
    const Operation operation(*this);
    publish<P::agcEnabled>(enabled);
    if (manualGain)
        publish<P::manualGain>(std::clamp(*manualGain, 0, maxManualGain));
    sendAGC();
}

void ReceiverClient::sendTune()
{
    if (m_connection)
        m_connection->sendTuning(currentTuning());
}

void ReceiverClient::sendAGC()
{
    if (m_connection)
        m_connection->sendGain(currentGain());
}

void ReceiverClient::setWaterfallZoom(int zoom)
{
    const Operation operation(*this);
    const ReceiverInfo& info = m_values.info;
    zoom = std::min(std::max(zoom, 0), std::min(info.maxZoom, info.zoomCap));
    publish<P::waterfallZoom>(zoom);
    const double spanHz = std::ldexp(info.bandwidthHz, -zoom);
    const double startHz = m_values.frequencyKHz * 1000 - spanHz / 2;
    sendZoomStart(clampedWaterfallStart(startHz, spanHz));
}

double ReceiverClient::clampedWaterfallStart(double startHz, double spanHz) const
{
    const ReceiverInfo& info = m_values.info;
    return clampedLowFirst(startHz, info.baseHz, info.baseHz + info.bandwidthHz - spanHz);
}

void ReceiverClient::sendZoomStart(double startHz)
{
    const Operation operation(*this);
    if (!std::isfinite(startHz))
        return;
    publish<P::waterfallStartHz>(startHz);
    if (m_connection)
        m_connection->setWaterfallView(m_values.waterfallZoom, startHz);
}

void ReceiverClient::setWaterfallSpeed(WaterfallSpeed speed)
{
    m_waterfallSpeed = speed;
    if (m_connection)
        m_connection->setWaterfallSpeed(m_waterfallSpeed);
}

void ReceiverClient::selectProfile(const QString& id)
{
    const Operation operation(*this);
    if (!m_values.features.bandProfiles || m_values.currentProfileID == id)
        return;
    publish<P::currentProfileID>(id);
    if (m_connection)
        m_connection->selectProfile(id);
}

void ReceiverClient::setVolume(float volume)
{
    const Operation operation(*this);
    if (std::isnan(volume))
        return;
    volume = std::clamp(volume, 0.0f, 1.0f);
    if (volume == m_values.volume)
        return;
    publish<P::volume>(volume);
    applyVolume();
}

void ReceiverClient::setMuted(bool muted)
{
    const Operation operation(*this);
    if (muted == m_values.isMuted)
        return;
    publish<P::isMuted>(muted);
    applyVolume();
}

void ReceiverClient::applyVolume()
{
    m_player->setVolume(m_values.isMuted ? 0.0f : m_values.volume);
}
