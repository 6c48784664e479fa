// Publishing: the setters record what an operation changed, and the end of
// the outermost operation tells the views, once for each property whose value
// then differs from before the operation.
#include "session/ReceiverClient.h"

#include <QPointer>

#include <algorithm>
#include <utility>

template <typename T>
void ReceiverClient::store(T PublishedValues::*field, T value, std::initializer_list<Property> properties)
{
    if (m_values.*field == value)
        return;
    Q_ASSERT(m_operationDepth > 0);
    if (!m_before)
        m_before = m_values;
    m_values.*field = std::move(value);
    for (const Property property : properties) {
        if (std::find(m_changed.begin(), m_changed.end(), property) == m_changed.end())
            m_changed.push_back(property);
    }
}

void ReceiverClient::finishOperation()
{
    m_ended.clear();
    if (!m_before)
        return;
    const PublishedValues before = std::move(*m_before);
    m_before.reset();
    const std::vector<Property> changed = std::exchange(m_changed, {});
    // A handler may call the session again, which is an operation of its own,
    // or delete it.
    const QPointer<ReceiverClient> self(this);
    for (const Property property : changed) {
        notifyIfChanged(property, before);
        if (!self)
            return;
    }
}

void ReceiverClient::notifyIfChanged(Property property, const PublishedValues& before)
{
    const PublishedValues& now = m_values;
    const auto notify = [this](bool differs, void (ReceiverClient::*signal)()) {
        if (differs)
            emit(this->*signal)();
    };
    using P = Property;
    using C = ReceiverClient;
    switch (property) {
    case P::state: return notify(before.state != now.state, &C::stateChanged);
    case P::serverURL: return notify(before.serverURL != now.serverURL, &C::serverURLChanged);
    case P::serverKind: return notify(before.serverKind != now.serverKind, &C::serverKindChanged);
    case P::info: return notify(before.info != now.info, &C::infoChanged);
    case P::profiles: return notify(before.profiles != now.profiles, &C::profilesChanged);
    case P::currentProfileID: return notify(before.currentProfileID != now.currentProfileID, &C::currentProfileIDChanged);
    case P::webPageAfterAppLimit:
        return notify(before.webPageAfterAppLimit != now.webPageAfterAppLimit, &C::webPageAfterAppLimitChanged);
    case P::frequencyKHz: return notify(before.frequencyKHz != now.frequencyKHz, &C::frequencyKHzChanged);
    case P::mode: return notify(before.mode != now.mode, &C::modeChanged);
    case P::passband: return notify(before.passband != now.passband, &C::passbandChanged);
    case P::agcEnabled: return notify(before.agcEnabled != now.agcEnabled, &C::agcEnabledChanged);
    case P::manualGain: return notify(before.manualGain != now.manualGain, &C::manualGainChanged);
    case P::rssi: return notify(before.rssi != now.rssi, &C::rssiChanged);
    case P::isADCOverloaded: return notify(before.isADCOverloaded != now.isADCOverloaded, &C::isADCOverloadedChanged);
    case P::waterfallZoom: return notify(before.waterfallZoom != now.waterfallZoom, &C::waterfallZoomChanged);
    case P::waterfallStartHz: return notify(before.waterfallStartHz != now.waterfallStartHz, &C::waterfallStartHzChanged);
    case P::waterfallError: return notify(before.waterfallError != now.waterfallError, &C::waterfallErrorChanged);
    case P::volume: return notify(before.volume != now.volume, &C::volumeChanged);
    case P::isMuted: return notify(before.isMuted != now.isMuted, &C::isMutedChanged);
    case P::openWebRXModulations:
        return notify(before.openWebRXModulations != now.openWebRXModulations, &C::openWebRXModulationsChanged);
    case P::receiverLabels: return notify(before.receiverLabels != now.receiverLabels, &C::receiverLabelsChanged);
    case P::availableModes: return notify(availableModes(before) != availableModes(now), &C::availableModesChanged);
    case P::sMeter: return notify(sMeter(before) != sMeter(now), &C::sMeterChanged);
    case P::reconnectWait: return notify(before.reconnectWait != now.reconnectWait, &C::reconnectWaitChanged);
    case P::canWaitForFreeChannel:
        return notify(before.canWaitForFreeChannel != now.canWaitForFreeChannel, &C::canWaitForFreeChannelChanged);
    case P::freeChannelWaitSeconds:
        return notify(before.freeChannelWaitSeconds != now.freeChannelWaitSeconds, &C::freeChannelWaitSecondsChanged);
    }
}

void ReceiverClient::setState(ConnectionState state)
{
    store(&PublishedValues::state, std::move(state), {Property::state});
}

void ReceiverClient::setServerURL(std::optional<QUrl> url)
{
    store(&PublishedValues::serverURL, std::move(url), {Property::serverURL});
}

void ReceiverClient::setServerKind(std::optional<ServerKind> kind)
{
    store(&PublishedValues::serverKind, kind, {Property::serverKind, Property::availableModes, Property::sMeter});
}

void ReceiverClient::setInfo(ReceiverInfo info)
{
    // Every path by which a receiver's words reach the info passes here.
    for (std::optional<QString>* text : {&info.name, &info.location, &info.antenna, &info.grid, &info.gps,
             &info.hardware, &info.softwareVersion, &info.clientIP}) {
        if (*text)
            **text = boundedServerText(std::move(**text));
    }
    store(&PublishedValues::info, std::move(info), {Property::info});
}

void ReceiverClient::setProfiles(QList<ReceiverProfile> profiles)
{
    store(&PublishedValues::profiles, std::move(profiles), {Property::profiles});
}

void ReceiverClient::setCurrentProfileID(std::optional<QString> id)
{
    store(&PublishedValues::currentProfileID, std::move(id), {Property::currentProfileID});
}

void ReceiverClient::setWebPageAfterAppLimit(std::optional<QUrl> url)
{
    store(&PublishedValues::webPageAfterAppLimit, std::move(url), {Property::webPageAfterAppLimit});
}

void ReceiverClient::setFrequencyKHz(double frequencyKHz)
{
    store(&PublishedValues::frequencyKHz, frequencyKHz, {Property::frequencyKHz});
}

void ReceiverClient::setModeValue(Mode mode)
{
    store(&PublishedValues::mode, mode, {Property::mode});
}

void ReceiverClient::setPassband(Passband passband)
{
    store(&PublishedValues::passband, passband, {Property::passband});
}

void ReceiverClient::setAGCEnabled(bool enabled)
{
    store(&PublishedValues::agcEnabled, enabled, {Property::agcEnabled});
}

void ReceiverClient::setManualGain(int gain)
{
    store(&PublishedValues::manualGain, gain, {Property::manualGain});
}

void ReceiverClient::setRssi(std::optional<double> rssi)
{
    store(&PublishedValues::rssi, rssi, {Property::rssi, Property::sMeter});
}

void ReceiverClient::setADCOverloaded(bool overloaded)
{
    store(&PublishedValues::isADCOverloaded, overloaded, {Property::isADCOverloaded});
}

void ReceiverClient::setWaterfallZoomValue(int zoom)
{
    store(&PublishedValues::waterfallZoom, zoom, {Property::waterfallZoom});
}

void ReceiverClient::setWaterfallStartHz(double startHz)
{
    store(&PublishedValues::waterfallStartHz, startHz, {Property::waterfallStartHz});
}

void ReceiverClient::setWaterfallError(std::optional<QString> error)
{
    store(&PublishedValues::waterfallError, std::move(error), {Property::waterfallError});
}

void ReceiverClient::setVolumeValue(float volume)
{
    store(&PublishedValues::volume, volume, {Property::volume});
}

void ReceiverClient::setMutedValue(bool muted)
{
    store(&PublishedValues::isMuted, muted, {Property::isMuted});
}

void ReceiverClient::setOpenWebRXModulations(QSet<QString> modulations)
{
    store(&PublishedValues::openWebRXModulations, std::move(modulations),
        {Property::openWebRXModulations, Property::availableModes});
}

void ReceiverClient::setReceiverLabels(ReceiverLabels labels)
{
    store(&PublishedValues::receiverLabels, std::move(labels), {Property::receiverLabels});
}

void ReceiverClient::setReconnectWait(std::optional<ReconnectWait> wait)
{
    store(&PublishedValues::reconnectWait, wait, {Property::reconnectWait});
}

void ReceiverClient::setCanWaitForFreeChannel(bool can)
{
    store(&PublishedValues::canWaitForFreeChannel, can, {Property::canWaitForFreeChannel});
}

void ReceiverClient::setFreeChannelWaitSeconds(std::optional<int> seconds)
{
    store(&PublishedValues::freeChannelWaitSeconds, seconds, {Property::freeChannelWaitSeconds});
}
