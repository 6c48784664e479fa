// What the session's connection reads from it and reports to it: each report
// is a change of the published values, made within the connection's event.
#include "session/KiwiSDRClient.h"

#include "audio/KiwiAudioPlayer.h"
#include "model/KiwiError.h"

#include <cstdio>

ReceiverTuning KiwiSDRClient::currentTuning() const
{
    return {m_values.frequencyKHz, m_values.mode, m_values.passband};
}

ReceiverGain KiwiSDRClient::currentGain() const
{
    return {m_values.agcEnabled, m_values.manualGain};
}

ReceiverTuning KiwiSDRClient::tuningInBand()
{
    const KiwiReceiverInfo& info = m_values.info;
    setFrequencyKHz(frequencyInBandKHz(m_values.frequencyKHz, info.baseHz, info.bandwidthHz));
    return currentTuning();
}

void KiwiSDRClient::accepted()
{
    if (m_values.state.isConnecting()) {
        setState(State::connected());
        m_connectedSince = monotonicNow();
    }
}

void KiwiSDRClient::refused(const KiwiError& error)
{
    const auto* busy = std::get_if<KiwiError::TooBusy>(&error.value());
    const std::optional<QUrl> url = m_values.serverURL;
    // "Not now" or "not you": trying again by itself would only make it worse.
    stopReconnecting();
    endWith(error);
    offerFreeChannelWait(error);
    // A receiver that limits apps may still be heard on its own web page.
    if (busy && busy->afterConnecting && url)
        setWebPageAfterAppLimit(webPageURL(*url, m_values.frequencyKHz, m_values.mode));
}

void KiwiSDRClient::broke(const QString& description)
{
    // Only while connecting does the socket's own description say more than
    // that the server closed it.
    const bool wasConnected = m_values.state.isConnected();
    brokeConnection(KiwiError::connectionClosed(wasConnected ? std::nullopt : std::optional(description)),
        wasConnected);
}

void KiwiSDRClient::changeInfo(const std::function<void(KiwiReceiverInfo&)>& change)
{
    updateInfo(change);
}

void KiwiSDRClient::changeReceiverLabels(const std::function<void(ReceiverLabels&)>& change)
{
    ReceiverLabels labels = m_values.receiverLabels;
    change(labels);
    setReceiverLabels(std::move(labels));
}

void KiwiSDRClient::startAudio(double audioRate)
{
    updateInfo([&](KiwiReceiverInfo& info) { info.audioRate = audioRate; });
    if (audioRate < minPlayableAudioRate || audioRate > maxPlayableAudioRate)
        return;
    if (const std::optional<AudioOutputError> error = m_player->start(audioRate)) {
        const QByteArray line = "Audio output failed to start: " + error->description.toUtf8() + '\n';
        std::fputs(line.constData(), stdout);
        std::fflush(stdout);
    } else {
        applyVolume();
    }
}

void KiwiSDRClient::waterfallAccepted()
{
    setWaterfallZoom(m_values.waterfallZoom);
    resumeWaterfall();
}

void KiwiSDRClient::waterfallPlaced(int zoom, double startHz)
{
    setWaterfallZoomValue(zoom);
    setWaterfallStartHz(startHz);
    setWaterfallError(std::nullopt);
}

void KiwiSDRClient::waterfallEnded(const QString& message)
{
    if (!m_values.waterfallError)
        setWaterfallError(message);
}

void KiwiSDRClient::modulationsOffered(QSet<QString> modulations)
{
    setOpenWebRXModulations(std::move(modulations));
    // The mode must be one the server offers.
    const QList<KiwiMode> modes = availableModes();
    if (!modes.isEmpty() && !modes.contains(m_values.mode)) {
        setModeValue(modes.first());
        setPassband(defaultPassband(modes.first()));
        sendTune();
    }
}

void KiwiSDRClient::bandChanged(double baseHz, double bandwidthHz, const ReceiverTuning& tuning)
{
    updateInfo([&](KiwiReceiverInfo& info) {
        info.baseHz = baseHz;
        info.bandwidthHz = bandwidthHz;
    });
    setFrequencyKHz(tuning.frequencyKHz);
    setModeValue(tuning.mode);
    setPassband(tuning.passband);
    setWaterfallZoom(m_values.waterfallZoom);
    sendTune();
}
