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
    publish<P::frequencyKHz>(frequencyInBandKHz(m_values.frequencyKHz, info.baseHz, info.bandwidthHz));
    return currentTuning();
}

void ReceiverClient::accepted()
{
    if (m_values.state.isConnecting()) {
        publish<P::state>(State::connected());
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
        publish<P::webPageAfterAppLimit>(webPageURL(*url, m_values.frequencyKHz, m_values.mode));
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
    publish<P::receiverLabels>(std::move(labels));
}

void ReceiverClient::changeLoad(const std::function<void(ReceiverLoad&)>& change)
{
    ReceiverLoad load = m_values.receiverLoad;
    change(load);
    publish<P::receiverLoad>(load);
}

void ReceiverClient::audioOutputFailed(const AudioOutputError& error)
{
    const QByteArray line = "Audio output failed to start: " + error.description.toUtf8() + '\n';
    std::fputs(line.constData(), stdout);
    std::fflush(stdout);
}

void ReceiverClient::waterfallAccepted()
{
    setWaterfallZoom(m_values.waterfallZoom);
    resumeWaterfall();
}

void ReceiverClient::waterfallPlaced(int zoom, double startHz)
{
    publish<P::waterfallZoom>(zoom);
    publish<P::waterfallStartHz>(startHz);
    publish<P::waterfallError>(std::nullopt);
}

void ReceiverClient::waterfallEnded(const QString& message)
{
    if (!m_values.waterfallError)
        publish<P::waterfallError>(message);
}

void ReceiverClient::modulationsOffered(QSet<QString> modulations)
{
    publish<P::openWebRXModulations>(std::move(modulations));
}

void ReceiverClient::modesOffered(QList<Mode> modes)
{
    publish<P::availableModes>(std::move(modes));
    // The mode must be one the receiver offers.
    const QList<Mode>& offered = m_values.availableModes;
    if (!offered.isEmpty() && !offered.contains(m_values.mode)) {
        const Mode previous = m_values.mode;
        publish<P::mode>(offered.first());
        publish<P::passband>(defaultPassband(offered.first()));
        sendTuningWithDecoder(previous);
    }
}

void ReceiverClient::bandChanged(double baseHz, double bandwidthHz, const ReceiverTuning& tuning)
{
    updateInfo([&](ReceiverInfo& info) {
        info.baseHz = baseHz;
        info.bandwidthHz = bandwidthHz;
    });
    const Mode previous = m_values.mode;
    publish<P::frequencyKHz>(tuning.frequencyKHz);
    publish<P::mode>(tuning.mode);
    publish<P::passband>(tuning.passband);
    setWaterfallZoom(m_values.waterfallZoom);
    sendTuningWithDecoder(previous);
    m_bandKnown = true;
    takeUpDecoder();
}
