// Reconnecting by itself: after a connection broke without a refusal, the
// session waits as its schedule says, then connects again to the same server
// with what the listener had; a refusal, the listener's own connect or
// disconnect, or the end of the schedule stops it.
#include "session/ReceiverClient.h"

#include "model/ReceiverError.h"

#include <QRandomGenerator>
#include <QTimer>

#include <cmath>

ReconnectPolicy::Duration ReceiverClient::monotonicNow()
{
    return std::chrono::duration_cast<ReconnectPolicy::Duration>(
        std::chrono::steady_clock::now().time_since_epoch());
}

void ReceiverClient::setReconnectPolicy(std::optional<ReconnectPolicy> policy)
{
    const Operation operation(*this);
    m_reconnectPolicy = std::move(policy);
    if (!m_reconnectPolicy)
        stopReconnecting();
}

void ReceiverClient::cancelReconnect()
{
    const Operation operation(*this);
    stopReconnecting();
}

void ReceiverClient::networkAvailable()
{
    if (m_values.reconnectWait)
        startTry();
}

void ReceiverClient::brokeConnection(const ReceiverError& error, bool wasConnected)
{
    const ReconnectPolicy::Duration now = monotonicNow();
    const bool wasStable = wasConnected && m_connectedSince && m_reconnectPolicy
                           && now - *m_connectedSince >= m_reconnectPolicy->stableAfter;
    // A try that broke while connecting had not got back what the listener
    // had; what the last connection that was up had is still to resume.
    if (wasConnected || !m_resume)
        m_resume = Resume{m_values.waterfallStartHz, m_values.currentProfileID, m_values.decoder};
    endWith(error);
    // A connection the listener asked for that never got through is theirs
    // to try again; one that was up, or a try of a series, is ours.
    if (!m_reconnectPolicy || (!m_series && !wasConnected))
        return;
    if (!m_series || wasStable) {
        m_series.emplace(*m_reconnectPolicy, [] { return QRandomGenerator::global()->generateDouble(); });
    }
    scheduleTry();
}

void ReceiverClient::scheduleTry()
{
    const ReconnectPolicy::Duration now = monotonicNow();
    const std::optional<ReconnectPolicy::Duration> wait = m_series->next(now);
    if (!wait) {
        // The failure's words stay as the state.
        stopReconnecting();
        return;
    }
    m_tryDue = now + *wait;
    m_tryTimer->start(*wait);
    m_countdownTimer->start(m_series->policy().countdownStep);
    refreshCountdown();
}

void ReceiverClient::refreshCountdown()
{
    if (!m_series)
        return;
    const double left = std::chrono::duration<double>(m_tryDue - monotonicNow()).count();
    publish<P::reconnectWait>(ReconnectWait{
        m_series->tries(), m_series->policy().maxTries, static_cast<int>(std::max(0.0, std::ceil(left)))});
}

void ReceiverClient::startTry()
{
    const Operation operation(*this);
    if (!m_series)
        return;
    m_tryTimer->stop();
    m_countdownTimer->stop();
    publish<P::reconnectWait>(std::nullopt);
    emit reconnectTryStarted(m_series->tries(), m_series->policy().maxTries);
    openConnection(m_address, m_password, std::nullopt, std::nullopt);
}

void ReceiverClient::stopReconnecting()
{
    stopWaitingForFreeChannel();
    m_series.reset();
    m_resume.reset();
    m_tryTimer->stop();
    m_countdownTimer->stop();
    publish<P::reconnectWait>(std::nullopt);
}

void ReceiverClient::resumeWaterfall()
{
    if (!m_resume || m_values.waterfallZoom == 0)
        return;
    const double spanHz = std::ldexp(m_values.info.bandwidthHz, -m_values.waterfallZoom);
    sendZoomStart(clampedWaterfallStart(m_resume->waterfallStartHz, spanHz));
}

void ReceiverClient::profilesOffered(QList<ReceiverProfile> profiles)
{
    publish<P::profiles>(std::move(profiles));
    resumeProfile();
}

void ReceiverClient::resumeProfile()
{
    if (!m_resume || !m_resume->profileID)
        return;
    const QString id = *std::exchange(m_resume->profileID, std::nullopt);
    for (const ReceiverProfile& profile : m_values.profiles) {
        if (profile.id == id) {
            selectProfile(id);
            return;
        }
    }
}
