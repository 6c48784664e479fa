// The session's lifecycle: construction, connect and disconnect, server-kind
// detection, the connection of the detected kind, and how the events of that
// connection reach the session.
#include "session/ReceiverClient.h"

#include "audio/AudioPlayer.h"
#include "connection/WebSocketChannel.h"
#include "model/ReceiverError.h"
#include "session/ConnectionFactory.h"
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
    , m_rows(std::make_shared<RowBroadcaster>())
    , m_receivedBytes(std::make_shared<std::atomic<std::uint64_t>>(0))
    , m_decoderRows(std::make_shared<RowBroadcaster>())
    , m_network(new QNetworkAccessManager(this))
    , m_factory(std::make_unique<ConnectionFactory>(m_player, m_rows, m_decoderRows, *m_network))
    , m_detectionTimeout(ServerDetection::requestTimeout)
    , m_openTimeout(WebSocketChannel::defaultOpenTimeout)
    , m_tryTimer(new QTimer(this))
    , m_countdownTimer(new QTimer(this))
    , m_freeChannelTimer(new QTimer(this))
    , m_freeChannelClock(new QTimer(this))
{
    QObject::connect(m_freeChannelTimer, &QTimer::timeout, this, &ReceiverClient::pollListenerCounts);
    QObject::connect(m_freeChannelClock, &QTimer::timeout, this, [this] {
        const Operation operation(*this);
        const auto waited = monotonicNow() - m_freeChannelSince;
        if (waited >= maxFreeChannelWait) {
            stopWaitingForFreeChannel();
            return;
        }
        publish<P::freeChannelWaitSeconds>(static_cast<int>(std::chrono::duration_cast<std::chrono::seconds>(waited).count()));
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
        publish<P::state>(State::failed(ReceiverError::invalidAddress().errorDescription()));
        return;
    }
    if (frequencyKHz && std::isfinite(*frequencyKHz))
        publish<P::frequencyKHz>(*frequencyKHz);
    if (mode) {
        publish<P::mode>(*mode);
        publish<P::passband>(defaultPassband(*mode));
    }

    ++m_sessionID;
    m_sessionTimestamp = QDateTime::currentMSecsSinceEpoch();
    m_password = password;
    m_address = address;
    m_connectedSince.reset();
    publish<P::canWaitForFreeChannel>(false);
    publish<P::serverURL>(url);
    // Whatever the last receiver set goes in this one operation; the
    // detection tells what the new one offers.
    setInfo(ReceiverInfo());
    publish<P::serverKind>(std::nullopt);
    publish<P::features>(ReceiverFeatures{});
    publish<P::availableModes>(ReceiverFeatures{}.modes);
    publish<P::state>(State::connecting());

    publish<P::webPageAfterAppLimit>(std::nullopt);
    publish<P::rssi>(std::nullopt);
    publish<P::waterfallError>(std::nullopt);
    publish<P::isADCOverloaded>(false);
    publish<P::waterfallStartHz>(0);
    publish<P::openWebRXModulations>({});
    publish<P::receiverLabels>({});
    publish<P::receiverLoad>({});
    publish<P::profiles>({});
    publish<P::currentProfileID>(std::nullopt);
    publish<P::decoders>({});
    publish<P::decoder>(std::nullopt);
    publish<P::decoderChannel>({});
    publish<P::decoderError>(std::nullopt);
    m_decodersNamed = false;
    m_bandKnown = false;
    m_decoderRequest.reset();

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
    publish<P::rssi>(std::nullopt);
    if (m_values.state.isActive())
        publish<P::state>(State::disconnected());
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
    ConnectionContext context{url, m_openTimeout, eventPost(), m_identity, m_password, m_sessionTimestamp,
        m_keepaliveInterval, m_statusRefreshInterval, m_receivedBytes};
    m_connection = m_factory->make(result, *this, std::move(context));
    m_listenerCounts = ConnectionFactory::listenerCountReader(result.kind);
    setKind(result.kind, m_connection->features());
    m_connection->setWaterfallSpeed(m_waterfallSpeed);
    m_connection->open();
}

void ReceiverClient::endWith(const ReceiverError& error)
{
    endConnection();
    publish<P::state>(State::failed(error.errorDescription()));
}

std::optional<SMeterReading> ReceiverClient::sMeterOf(const PublishedValues& values)
{
    if (!values.rssi)
        return std::nullopt;
    return SMeterReading{*values.rssi, values.features.calibratedSMeter};
}
