// Waiting for a free channel: after every channel was busy, the session reads
// only the receiver's status page, never its WebSocket, until the page shows
// a listener fewer than the receiver takes, and then connects.
#include "session/ReceiverClient.h"

#include "model/ReceiverError.h"
#include "kiwisdr/KiwiStatusPage.h"
#include "connection/BoundedHttpGet.h"
#include "session/ServerDetection.h"

#include <QTimer>

void ReceiverClient::offerFreeChannelWait(const ReceiverError& error)
{
    const auto* busy = std::get_if<ReceiverError::TooBusy>(&error.value());
    // Without both counts the page could never say a channel is free.
    const ReceiverInfo& info = m_values.info;
    setCanWaitForFreeChannel(busy && !busy->afterConnecting && info.users && info.maxUsers);
}

void ReceiverClient::waitForFreeChannel()
{
    const Operation operation(*this);
    if (!m_values.canWaitForFreeChannel || m_values.state.isActive())
        return;
    stopReconnecting();
    setCanWaitForFreeChannel(false);
    m_freeChannelSince = monotonicNow();
    setFreeChannelWaitSeconds(0);
    m_freeChannelTimer->start(m_freeChannelPoll);
    m_freeChannelClock->start(std::chrono::seconds(1));
}

void ReceiverClient::pollStatusPage()
{
    if (!m_values.freeChannelWaitSeconds || !m_values.serverURL)
        return;
    m_freeChannelRequests = std::make_unique<QObject>();
    new BoundedHttpGet(*m_network, kiwiStatusPageURL(*m_values.serverURL), ServerDetection::requestTimeout,
        maxKiwiStatusPageBytes,
        [this, post = eventPost()](const std::optional<HttpResponse>& response) {
            if (!response || response->statusCode != 200)
                return;
            computeThenPost(
                post,
                [body = response->body] {
                    ReceiverInfo counts;
                    applyKiwiStatusPage(counts, parseKiwiStatusPage(body));
                    return counts;
                },
                [this](const ReceiverInfo& counts) { statusPageRead(counts); });
        },
        m_freeChannelRequests.get());
}

void ReceiverClient::statusPageRead(const ReceiverInfo& counts)
{
    if (!m_values.freeChannelWaitSeconds || !counts.users || !counts.maxUsers || *counts.users >= *counts.maxUsers)
        return;
    stopWaitingForFreeChannel();
    openConnection(m_address, m_password, std::nullopt, std::nullopt);
}

void ReceiverClient::stopWaitingForFreeChannel()
{
    m_freeChannelTimer->stop();
    m_freeChannelClock->stop();
    m_freeChannelRequests.reset();
    setFreeChannelWaitSeconds(std::nullopt);
}
