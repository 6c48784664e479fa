// Waiting for a free channel: after every channel was busy, the session asks
// the receiver only for its listener counts (a KiwiSDR's status page), never
// opens its WebSocket, until a listener fewer than the receiver takes are
// there, and then connects.
#include "session/ReceiverClient.h"

#include "model/ReceiverError.h"

#include <QTimer>

void ReceiverClient::offerFreeChannelWait(const ReceiverError& error)
{
    const auto* busy = std::get_if<ReceiverError::TooBusy>(&error.value());
    // Without both counts the page could never say a channel is free.
    const ReceiverInfo& info = m_values.info;
    publish<P::canWaitForFreeChannel>(
        busy && !busy->afterConnecting && info.users && info.maxUsers && m_listenerCounts);
}

void ReceiverClient::waitForFreeChannel()
{
    const Operation operation(*this);
    if (!m_values.canWaitForFreeChannel || m_values.state.isActive())
        return;
    stopReconnecting();
    publish<P::canWaitForFreeChannel>(false);
    m_freeChannelSince = monotonicNow();
    publish<P::freeChannelWaitSeconds>(0);
    m_freeChannelTimer->start(m_freeChannelPoll);
    m_freeChannelClock->start(std::chrono::seconds(1));
}

void ReceiverClient::pollListenerCounts()
{
    if (!m_values.freeChannelWaitSeconds || !m_values.serverURL || !m_listenerCounts)
        return;
    m_freeChannelRequests = std::make_unique<QObject>();
    m_listenerCounts(*m_network, *m_values.serverURL, m_freeChannelRequests.get(), eventPost(),
        [this](const std::optional<ListenerCounts>& counts) {
            if (counts)
                listenerCountsRead(*counts);
        });
}

void ReceiverClient::listenerCountsRead(const ListenerCounts& counts)
{
    if (!m_values.freeChannelWaitSeconds || counts.users >= counts.maxUsers)
        return;
    stopWaitingForFreeChannel();
    openConnection(m_address, m_password, std::nullopt, std::nullopt);
}

void ReceiverClient::stopWaitingForFreeChannel()
{
    m_freeChannelTimer->stop();
    m_freeChannelClock->stop();
    m_freeChannelRequests.reset();
    publish<P::freeChannelWaitSeconds>(std::nullopt);
}
