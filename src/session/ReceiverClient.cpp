// The session's lifecycle: construction, connect and disconnect, server-kind
// detection, the connection of the detected kind, and how the events of that
// connection reach the session.
#include "session/ReceiverClient.h"

#include "audio/AudioPlayer.h"
#include "kiwisdr/KiwiSoundPipeline.h"
#include "model/ReceiverError.h"
#include "openwebrx/OpenWebRXModulations.h"
#include "openwebrx/OpenWebRXPipeline.h"
#include "kiwisdr/KiwiConnection.h"
#include "openwebrx/OpenWebRXConnection.h"
#include "session/ServerDetection.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QTimer>

#include <cmath>

ReceiverClient::ReceiverClient(QString identity, std::shared_ptr<AudioPlayer> player, QObject* parent)
    : QObject(parent)
    , m_identity(std::move(identity))
    , m_player(player ? std::move(player) : AudioPlayer::create())
    , m_sound(std::make_shared<KiwiSoundPipeline>(m_player))
    , m_rows(std::make_shared<RowBroadcaster>())
    , m_network(new QNetworkAccessManager(this))
    , m_detectionTimeout(ServerDetection::requestTimeout)
    , m_openTimeout(WebSocketChannel::defaultOpenTimeout)
    , m_tryTimer(new QTimer(this))
    , m_countdownTimer(new QTimer(this))
    , m_freeChannelTimer(new QTimer(this))
    , m_freeChannelClock(new QTimer(this))
{
    QObject::connect(m_freeChannelTimer, &QTimer::timeout, this, &ReceiverClient::pollStatusPage);
    QObject::connect(m_freeChannelClock, &QTimer::timeout, this, [this] {
        const Operation operation(*this);
        const auto waited = monotonicNow() - m_freeChannelSince;
        if (waited >= maxFreeChannelWait) {
            stopWaitingForFreeChannel();
            return;
        }
        setFreeChannelWaitSeconds(static_cast<int>(std::chrono::duration_cast<std::chrono::seconds>(waited).count()));
    });
    m_tryTimer->setSingleShot(true);
    QObject::connect(m_tryTimer, &QTimer::timeout, this, &ReceiverClient::startTry);
    QObject::connect(m_countdownTimer, &QTimer::timeout, this, [this] {
        const Operation operation(*this);
        refreshCountdown();
    });
    applyVolume();
}

ReceiverClient::~ReceiverClient()
{
    tearDown();
}

void ReceiverClient::connect(const QString& address, const QString& password,
    std::optional<double> frequencyKHz, std::optional<Mode> mode)
{
    const Operation operation(*this);
    stopReconnecting();
    openConnection(address, password, frequencyKHz, mode);
}

void ReceiverClient::openConnection(const QString& address, const QString& password,
    std::optional<double> frequencyKHz, std::optional<Mode> mode)
{
    endConnection();
    const std::optional<QUrl> url = normalizedServerURL(address);
    if (!url) {
        setState(State::failed(ReceiverError::invalidAddress().errorDescription()));
        return;
    }
    if (frequencyKHz && std::isfinite(*frequencyKHz))
        setFrequencyKHz(*frequencyKHz);
    if (mode) {
        setModeValue(*mode);
        setPassband(defaultPassband(*mode));
    }

    ++m_sessionID;
    m_sessionTimestamp = QDateTime::currentMSecsSinceEpoch();
    m_password = password;
    m_address = address;
    m_connectedSince.reset();
    setCanWaitForFreeChannel(false);
    setServerURL(url);
    setInfo(ReceiverInfo());
    setState(State::connecting());

    setWebPageAfterAppLimit(std::nullopt);
    setRssi(std::nullopt);
    setWaterfallError(std::nullopt);
    setADCOverloaded(false);
    setWaterfallStartHz(0);
    setOpenWebRXModulations({});
    setReceiverLabels({});
    setProfiles({});
    setCurrentProfileID(std::nullopt);

    // The result continues in a later turn, so that the detection is never
    // deleted from inside its own reply's signal.
    new ServerDetection(*m_network, *url,
        [this, post = eventPost(), url = *url](const ServerDetectionResult& result) {
            post([this, url, result] { detectionFinished(url, result); });
        },
        tasks(), m_detectionTimeout);
}

void ReceiverClient::disconnect()
{
    const Operation operation(*this);
    stopReconnecting();
    endConnection();
}

void ReceiverClient::endConnection()
{
    tearDown();
    setRssi(std::nullopt);
    if (m_values.state.isActive())
        setState(State::disconnected());
}

void ReceiverClient::tearDown()
{
    ++m_sessionID;
    m_tasks.reset();
    if (m_connection) {
        m_connection->close();
        m_ended.push_back(std::move(m_connection));
    }
    m_player->stop();
}

QObject* ReceiverClient::tasks()
{
    if (!m_tasks)
        m_tasks = std::make_unique<QObject>();
    return m_tasks.get();
}

EventPost ReceiverClient::eventPost()
{
    return [client = QPointer<ReceiverClient>(this), generation = m_sessionID](std::function<void()> event) {
        // Posted to the application object, which outlives every session, so
        // that a session destroyed meanwhile is seen through the weak pointer.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [client, generation, event = std::move(event)] {
                // A late result of an earlier connection changes nothing.
                if (!client || client->m_sessionID != generation)
                    return;
                const Operation operation(*client);
                event();
            },
            Qt::QueuedConnection);
    };
}

void ReceiverClient::detectionFinished(const QUrl& url, const ServerDetectionResult& result)
{
    setServerKind(result.kind);
    ReceiverSession& session = *this;
    const ConnectionContext context{url, m_openTimeout, eventPost()};
    if (result.kind == ServerKind::openWebRX) {
        if (!m_openWebRXPipeline) {
            m_openWebRXPipeline = std::make_shared<OpenWebRXPipeline>(
                m_player, [rows = m_rows](WaterfallRow row) { rows->yield(row); });
        }
        m_connection = std::make_unique<OpenWebRXConnection>(session, context, m_openWebRXPipeline);
    } else {
        KiwiConnection::Settings settings{
            m_identity, m_password, m_sessionTimestamp, m_keepaliveInterval, result.statusFields,
            m_statusRefreshInterval};
        m_connection = std::make_unique<KiwiConnection>(
            session, context, std::move(settings), m_sound, m_rows, *m_network);
    }
    m_connection->setWaterfallSpeed(m_waterfallSpeed);
    m_connection->open();
}

void ReceiverClient::endWith(const ReceiverError& error)
{
    endConnection();
    setState(State::failed(error.errorDescription()));
}

QList<Mode> ReceiverClient::availableModes() const
{
    return availableModes(m_values);
}

std::optional<SMeterReading> ReceiverClient::sMeter() const
{
    return sMeter(m_values);
}

QList<Mode> ReceiverClient::availableModes(const PublishedValues& values)
{
    // Before an OpenWebRX server names its modes, a common few.
    static const QSet<QString> defaultOpenWebRXModulations{QStringLiteral("am"), QStringLiteral("lsb"),
        QStringLiteral("usb"), QStringLiteral("cw"), QStringLiteral("nfm"), QStringLiteral("wfm")};
    QList<Mode> modes;
    if (values.serverKind != ServerKind::openWebRX) {
        for (const Mode mode : allModes) {
            if (mode != Mode::wfm)
                modes.append(mode);
        }
        return modes;
    }
    const QSet<QString>& offered = values.openWebRXModulations.isEmpty() ? defaultOpenWebRXModulations
                                                                          : values.openWebRXModulations;
    for (const Mode mode : allModes) {
        if (offered.contains(openWebRXModulation(mode)))
            modes.append(mode);
    }
    return modes;
}

std::optional<SMeterReading> ReceiverClient::sMeter(const PublishedValues& values)
{
    if (!values.rssi)
        return std::nullopt;
    return SMeterReading{*values.rssi, values.serverKind != ServerKind::openWebRX};
}
