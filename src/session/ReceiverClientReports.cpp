// What the session's connection reads from it and reports to it: each report
// is a change of the published values, made within the connection's event.
#include "session/ReceiverClient.h"

#include "audio/AudioPlayer.h"
#include "model/ReceiverError.h"

#include <cstdio>

ReceiverTuning ReceiverClient::currentTuning() const
{
    return {m_values.frequencyKHz, m_values.mode, m_values.passband};
}

ReceiverGain ReceiverClient::currentGain() const
{
    return {m_values.agcEnabled, m_values.manualGain};
}

ReceiverTuning ReceiverClient::tuningInBand()
{
    const ReceiverInfo& info = m_values.info;
    setFrequencyKHz(frequencyInBandKHz(m_values.frequencyKHz, info.baseHz, info.bandwidthHz));
    return currentTuning();
}

void ReceiverClient::accepted()
{
    if (m_values.state.isConnecting()) {
        setState(State::connected());
        m_connectedSince = monotonicNow();
    }
}

void ReceiverClient::refused(const ReceiverError& error)
{
    const auto* busy = std::get_if<ReceiverError::TooBusy>(&error.value());
    const std::optional<QUrl> url = m_values.serverURL;
    // "Not now" or "not you": trying again by itself would only make it worse.
    stopReconnecting();
    endWith(error);
    offerFreeChannelWait(error);
    // A receiver that limits apps may still be heard on its own web page.
    if (busy && busy->afterConnecting && url)
        setWebPageAfterAppLimit(webPageURL(*url, m_values.frequencyKHz, m_values.mode));
}

void ReceiverClient::broke(const QString& description)
{
    // Only while connecting does the socket's own description say more than
    // that the server closed it.
    const bool wasConnected = m_values.state.isConnected();
    brokeConnection(ReceiverError::connectionClosed(wasConnected ? std::nullopt : std::optional(description)),
        wasConnected);
}

void ReceiverClient::changeInfo(const std::function<void(ReceiverInfo&)>& change)
{
    updateInfo(change);
}

void ReceiverClient::changeReceiverLabels(const std::function<void(ReceiverLabels&)>& change)
{
    ReceiverLabels labels = m_values.receiverLabels;
    change(labels);
    setReceiverLabels(std::move(labels));
}

void ReceiverClient::startAudio(double audioRate)
{
    updateInfo([&](ReceiverInfo& info) { info.audioRate = audioRate; });
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

void ReceiverClient::waterfallAccepted()
{
    setWaterfallZoom(m_values.waterfallZoom);
    resumeWaterfall();
}

void ReceiverClient::waterfallPlaced(int zoom, double startHz)
{
    setWaterfallZoomValue(zoom);
    setWaterfallStartHz(startHz);
    setWaterfallError(std::nullopt);
}

void ReceiverClient::waterfallEnded(const QString& message)
{
    if (!m_values.waterfallError)
        setWaterfallError(message);
}

void ReceiverClient::modulationsOffered(QSet<QString> modulations)
{
    setOpenWebRXModulations(std::move(modulations));
    // The mode must be one the server offers.
    const QList<Mode> modes = availableModes();
    if (!modes.isEmpty() && !modes.contains(m_values.mode)) {
        setModeValue(modes.first());
        setPassband(defaultPassband(modes.first()));
        sendTune();
    }
}

void ReceiverClient::bandChanged(double baseHz, double bandwidthHz, const ReceiverTuning& tuning)
{
    updateInfo([&](ReceiverInfo& info) {
        info.baseHz = baseHz;
        info.bandwidthHz = bandwidthHz;
    });
    setFrequencyKHz(tuning.frequencyKHz);
    setModeValue(tuning.mode);
    setPassband(tuning.passband);
    setWaterfallZoom(m_values.waterfallZoom);
    sendTune();
}
