// The session's lifecycle: construction, connect and disconnect, server-kind
// detection, the failure of the channel that carries the session, and the
// published values.
#include "session/KiwiSDRClient.h"

#include "audio/KiwiAudioPlayer.h"
#include "audio/KiwiSoundPipeline.h"
#include "openwebrx/OpenWebRXMessage.h"
#include "model/KiwiError.h"
#include "session/KiwiWebSocket.h"
#include "session/ServerDetection.h"

#include <QDateTime>
#include <QNetworkAccessManager>

#include <cmath>

namespace {

const QSet<QString> defaultOpenWebRXModulations{
    QStringLiteral("am"), QStringLiteral("lsb"), QStringLiteral("usb"),
    QStringLiteral("cw"), QStringLiteral("nfm"), QStringLiteral("wfm")};

} // namespace

KiwiSDRClient::KiwiSDRClient(QString identity, std::shared_ptr<KiwiAudioPlayer> player, QObject* parent)
    : QObject(parent)
    , m_identity(std::move(identity))
    , m_player(player ? std::move(player) : KiwiAudioPlayer::create())
    , m_sound(std::make_shared<KiwiSoundPipeline>(m_player))
    , m_rows(std::make_shared<RowBroadcaster>())
    , m_network(new QNetworkAccessManager(this))
    , m_detectionTimeout(ServerDetection::requestTimeout)
    , m_openTimeout(KiwiWebSocket::defaultOpenTimeout)
{
    applyVolume();
}

KiwiSDRClient::~KiwiSDRClient()
{
    tearDown();
}

void KiwiSDRClient::connect(const QString& address, const QString& password,
    std::optional<double> frequencyKHz, std::optional<KiwiMode> mode)
{
    disconnect();
    const std::optional<QUrl> url = normalizedServerURL(address);
    if (!url) {
        setState(State::failed(KiwiError::invalidAddress().errorDescription()));
        return;
    }
    if (frequencyKHz && std::isfinite(*frequencyKHz))
        setFrequencyKHz(*frequencyKHz);
    if (mode) {
        setModeValue(*mode);
        setPassband(defaultPassband(*mode));
    }

    const std::int64_t generation = ++m_sessionID;
    m_sessionTimestamp = QDateTime::currentMSecsSinceEpoch();
    m_password = password;
    setServerURL(url);
    setInfo(KiwiReceiverInfo());
    setState(State::connecting());

    setWebPageAfterAppLimit(std::nullopt);
    setRssi(std::nullopt);
    setWaterfallError(std::nullopt);
    setADCOverloaded(false);
    m_didSendSoundSetup = false;
    m_didOpenWaterfall = false;
    m_didReceiveWaterfall = false;
    m_openWebRXCenterHz.reset();
    m_didStartOpenWebRXDemodulator = false;
    setWaterfallStartHz(0);
    setOpenWebRXModulations({});
    setProfiles({});
    setCurrentProfileID(std::nullopt);

    m_sound->resetDecoder();

    new ServerDetection(*m_network, *url,
        [this, url = *url, generation](const ServerDetectionResult& result) {
            // Continues in a later turn, so that the detection is never
            // deleted from inside its own reply's signal.
            QMetaObject::invokeMethod(
                this,
                [this, url, generation, result] {
                    detectionFinished(url, generation, result.kind, result.statusFields);
                },
                Qt::QueuedConnection);
        },
        tasks(), m_detectionTimeout);
}

void KiwiSDRClient::disconnect()
{
    tearDown();
    setRssi(std::nullopt);
    if (m_state.isActive())
        setState(State::disconnected());
}

void KiwiSDRClient::tearDown()
{
    ++m_sessionID;
    m_tasks.reset();
    for (std::unique_ptr<KiwiWebSocket>* socket : {&m_soundSocket, &m_waterfallSocket, &m_openWebRXSocket}) {
        if (*socket)
            (*socket)->close();
        socket->reset();
    }
    m_player->stop();
}

QObject* KiwiSDRClient::tasks()
{
    if (!m_tasks)
        m_tasks = std::make_unique<QObject>();
    return m_tasks.get();
}

void KiwiSDRClient::detectionFinished(const QUrl& url, std::int64_t generation, ServerKind kind,
    const std::optional<StatusFields>& statusFields)
{
    if (generation != m_sessionID)
        return;
    setServerKind(kind);
    if (kind == ServerKind::openWebRX)
        connectOpenWebRX(url, generation);
    else
        openSoundChannel(url, generation, statusFields);
}

void KiwiSDRClient::handleSocketFailure(const QString& description, std::int64_t generation)
{
    if (generation != m_sessionID)
        return;
    if (!m_state.isConnecting() && !m_state.isConnected())
        return;
    std::optional<QString> detail;
    if (m_state.isConnecting())
        detail = description;
    endWith(KiwiError::connectionClosed(detail));
}

void KiwiSDRClient::endWith(const KiwiError& error)
{
    disconnect();
    setState(State::failed(error.errorDescription()));
}

QList<KiwiMode> KiwiSDRClient::availableModes() const
{
    QList<KiwiMode> modes;
    if (m_serverKind != ServerKind::openWebRX) {
        for (const KiwiMode mode : allKiwiModes) {
            if (mode != KiwiMode::wfm)
                modes.append(mode);
        }
        return modes;
    }
    const QSet<QString>& offered =
        m_openWebRXModulations.isEmpty() ? defaultOpenWebRXModulations : m_openWebRXModulations;
    for (const KiwiMode mode : allKiwiModes) {
        if (offered.contains(openWebRXModulation(mode)))
            modes.append(mode);
    }
    return modes;
}

std::optional<SMeterReading> KiwiSDRClient::sMeter() const
{
    if (!m_rssi)
        return std::nullopt;
    return SMeterReading{*m_rssi, m_serverKind != ServerKind::openWebRX};
}

void KiwiSDRClient::setVolume(float volume)
{
    if (std::isnan(volume))
        return;
    volume = std::clamp(volume, 0.0f, 1.0f);
    if (volume == m_volume)
        return;
    m_volume = volume;
    applyVolume();
    emit volumeChanged();
}

void KiwiSDRClient::setMuted(bool muted)
{
    if (muted == m_isMuted)
        return;
    m_isMuted = muted;
    applyVolume();
    emit isMutedChanged();
}

void KiwiSDRClient::applyVolume()
{
    m_player->setVolume(m_isMuted ? 0.0f : m_volume);
}

namespace {

// Stores the value and tells whether it changed.
template <typename T>
bool store(T& field, T value)
{
    if (field == value)
        return false;
    field = std::move(value);
    return true;
}

} // namespace

void KiwiSDRClient::setState(KiwiState state)
{
    if (store(m_state, std::move(state)))
        emit stateChanged();
}

void KiwiSDRClient::setServerURL(std::optional<QUrl> url)
{
    if (store(m_serverURL, std::move(url)))
        emit serverURLChanged();
}

void KiwiSDRClient::setServerKind(std::optional<ServerKind> kind)
{
    const QList<KiwiMode> modesBefore = availableModes();
    const std::optional<SMeterReading> meterBefore = sMeter();
    if (!store(m_serverKind, kind))
        return;
    emit serverKindChanged();
    if (availableModes() != modesBefore)
        emit availableModesChanged();
    if (sMeter() != meterBefore)
        emit sMeterChanged();
}

void KiwiSDRClient::setInfo(KiwiReceiverInfo info)
{
    // Every path by which a receiver's words reach the info passes here.
    for (std::optional<QString>* text : {&info.name, &info.location, &info.antenna, &info.grid, &info.gps,
             &info.hardware, &info.softwareVersion, &info.clientIP}) {
        if (*text)
            **text = boundedServerText(std::move(**text));
    }
    if (store(m_info, std::move(info)))
        emit infoChanged();
}

void KiwiSDRClient::setWebPageAfterAppLimit(std::optional<QUrl> url)
{
    if (store(m_webPageAfterAppLimit, std::move(url)))
        emit webPageAfterAppLimitChanged();
}

void KiwiSDRClient::setFrequencyKHz(double frequencyKHz)
{
    if (store(m_frequencyKHz, frequencyKHz))
        emit frequencyKHzChanged();
}

void KiwiSDRClient::setModeValue(KiwiMode mode)
{
    if (store(m_mode, mode))
        emit modeChanged();
}

void KiwiSDRClient::setPassband(KiwiPassband passband)
{
    if (store(m_passband, passband))
        emit passbandChanged();
}

void KiwiSDRClient::setAGCEnabled(bool enabled)
{
    if (store(m_agcEnabled, enabled))
        emit agcEnabledChanged();
}

void KiwiSDRClient::setManualGain(int gain)
{
    if (store(m_manualGain, gain))
        emit manualGainChanged();
}

void KiwiSDRClient::setRssi(std::optional<double> rssi)
{
    if (!store(m_rssi, rssi))
        return;
    emit rssiChanged();
    emit sMeterChanged();
}

void KiwiSDRClient::setADCOverloaded(bool overloaded)
{
    if (store(m_isADCOverloaded, overloaded))
        emit isADCOverloadedChanged();
}

void KiwiSDRClient::setWaterfallZoomValue(int zoom)
{
    if (store(m_waterfallZoom, zoom))
        emit waterfallZoomChanged();
}

void KiwiSDRClient::setWaterfallStartHz(double startHz)
{
    if (store(m_waterfallStartHz, startHz))
        emit waterfallStartHzChanged();
}

void KiwiSDRClient::setWaterfallError(std::optional<QString> error)
{
    if (store(m_waterfallError, std::move(error)))
        emit waterfallErrorChanged();
}

void KiwiSDRClient::setProfiles(QList<ReceiverProfile> profiles)
{
    if (store(m_profiles, std::move(profiles)))
        emit profilesChanged();
}

void KiwiSDRClient::setCurrentProfileID(std::optional<QString> id)
{
    if (store(m_currentProfileID, std::move(id)))
        emit currentProfileIDChanged();
}

void KiwiSDRClient::selectProfile(const QString& id)
{
    if (m_serverKind != ServerKind::openWebRX || m_currentProfileID == id)
        return;
    setCurrentProfileID(id);
    if (m_openWebRXSocket)
        m_openWebRXSocket->sendText(openWebRXSelectProfile(id));
}

void KiwiSDRClient::setOpenWebRXModulations(QSet<QString> modulations)
{
    const QList<KiwiMode> modesBefore = availableModes();
    if (!store(m_openWebRXModulations, std::move(modulations)))
        return;
    emit openWebRXModulationsChanged();
    if (availableModes() != modesBefore)
        emit availableModesChanged();
}
