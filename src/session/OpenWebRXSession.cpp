// The OpenWebRX conversation: one socket carrying the handshake line, JSON
// messages and typed binary frames. Frames go to the OpenWebRX pipeline on
// the network thread; every JSON message reaches the session on the GUI
// thread, after the pipeline has taken its part of a "config".
#include "session/KiwiSDRClient.h"

#include "openwebrx/OpenWebRXMessage.h"
#include "openwebrx/OpenWebRXPipeline.h"
#include "model/KiwiError.h"
#include "session/KiwiWebSocket.h"
#include "session/OpenWebRXSessionValues.h"

#include <QLocale>

#include <span>

namespace {

constexpr double openWebRXAudioRate = 12000;

} // namespace

OpenWebRXPipeline& KiwiSDRClient::openWebRXPipeline()
{
    if (!m_openWebRXPipeline) {
        m_openWebRXPipeline = std::make_shared<OpenWebRXPipeline>(
            m_player, [rows = m_rows](KiwiWaterfallRow row) { rows->yield(row); });
    }
    return *m_openWebRXPipeline;
}

void KiwiSDRClient::connectOpenWebRX(const QUrl& url, std::int64_t generation)
{
    const std::optional<QUrl> socketURL = openWebRXSocketURL(url);
    if (!socketURL) {
        endWith(KiwiError::invalidAddress());
        return;
    }
    const QPointer<KiwiSDRClient> client(this);
    // The sink runs on the network thread.
    openWebRXPipeline().reset([client, generation](AudioFraming framing) {
        post(client, [framing, generation](KiwiSDRClient& session) {
            if (generation == session.m_sessionID)
                session.updateInfo([framing](KiwiReceiverInfo& info) { info.audioFraming = framing; });
        });
    });
    updateInfo([](KiwiReceiverInfo& info) {
        info.sampleRate = openWebRXAudioRate;
        info.audioRate = openWebRXAudioRate;
    });

    // Runs on the network thread.
    auto receive = [client, pipeline = m_openWebRXPipeline, generation](const QByteArray& bytes) {
        const std::span<const std::uint8_t> message(
            reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size()));
        if (message.empty() || pipeline->processMessage(message))
            return;
        std::optional<OpenWebRXMessage> parsed = parseOpenWebRXText(QString::fromUtf8(bytes));
        if (!parsed)
            return;
        if (parsed->type == u"config" && parsed->value)
            pipeline->applyConfig(*parsed->value);
        post(client, [parsed = std::move(*parsed), generation](KiwiSDRClient& session) {
            session.handleOpenWebRXMessage(parsed, generation);
        });
    };
    auto failed = [client, generation](const QString& description) {
        post(client, [description, generation](KiwiSDRClient& session) {
            session.handleSocketFailure(description, generation);
        });
    };
    m_openWebRXSocket = std::make_unique<KiwiWebSocket>(std::move(receive), std::move(failed));
    m_openWebRXSocket->open(*socketURL, m_openTimeout);
    m_openWebRXSocket->sendText(openWebRXHandshakeLine());
    m_openWebRXSocket->sendText(openWebRXConnectionProperties());
}

void KiwiSDRClient::handleOpenWebRXMessage(const OpenWebRXMessage& message, std::int64_t generation)
{
    if (generation != m_sessionID)
        return;
    const QString& type = message.type;
    static const JSONValue absent;
    const JSONValue& value = message.value ? *message.value : absent;
    if (type == u"handshake") {
        if (const std::optional<QString> version = value.stringMember(QStringLiteral("version"))) {
            updateInfo([&](KiwiReceiverInfo& info) {
                info.softwareVersion = QStringLiteral("OpenWebRX ") + *version;
            });
        }
    } else if (type == u"config") {
        if (message.value)
            applyOpenWebRXConfig(*message.value);
    } else if (type == u"receiver_details") {
        updateInfo([&](KiwiReceiverInfo& info) {
            const auto text = [&](const QString& key, std::optional<QString>& field) {
                if (const std::optional<QString> member = value.stringMember(key))
                    field = *member;
            };
            text(QStringLiteral("receiver_name"), info.name);
            text(QStringLiteral("receiver_location"), info.location);
            text(QStringLiteral("locator"), info.grid);
            if (std::optional<QString> gps = openWebRXGPSText(value, QLocale()))
                info.gps = std::move(gps);
        });
    } else if (type == u"clients") {
        updateInfo([&](KiwiReceiverInfo& info) { info.users = openWebRXClients(message.value); });
    } else if (type == u"smeter") {
        if (const std::optional<double> level = openWebRXSMeterDB(message.value))
            setRssi(level);
    } else if (type == u"profiles") {
        setProfiles(readOpenWebRXProfiles(message.value));
    } else if (type == u"modes") {
        setOpenWebRXModulations(readOpenWebRXModulations(message.value));
        if (generation != m_sessionID)
            return;
        const QList<KiwiMode> modes = availableModes();
        if (!modes.isEmpty() && !modes.contains(m_mode)) {
            setModeValue(modes.first());
            setPassband(defaultPassband(modes.first()));
            sendTune();
        }
    } else if (type == u"backoff") {
        endWith(KiwiError::server(openWebRXBackoffText(message.reason)));
    } else if (type == u"sdr_error") {
        endWith(KiwiError::server(openWebRXSDRErrorText(message.value)));
    }
}

void KiwiSDRClient::applyOpenWebRXConfig(const JSONValue& config)
{
    const std::int64_t generation = m_sessionID;
    const OpenWebRXConfigValues values = readOpenWebRXConfig(config);
    updateInfo([&](KiwiReceiverInfo& info) {
        if (values.maxUsers)
            info.maxUsers = values.maxUsers;
        if (values.maxZoom) {
            info.maxZoom = *values.maxZoom;
            info.zoomCap = *values.maxZoom;
        }
    });
    if (values.profileID)
        setCurrentProfileID(values.profileID);

    const std::optional<OpenWebRXBand> band = openWebRXBandForConfig(values, m_openWebRXCenterHz,
        m_info.bandwidthHz, {m_frequencyKHz, m_mode, m_passband}, availableModes());
    // A handler of a signal emitted above may have ended the connection.
    if (!band || generation != m_sessionID)
        return;
    m_openWebRXCenterHz = band->centerHz;
    updateInfo([&](KiwiReceiverInfo& info) {
        info.baseHz = band->baseHz;
        info.bandwidthHz = band->bandwidthHz;
    });
    setFrequencyKHz(band->tuning.frequencyKHz);
    setModeValue(band->tuning.mode);
    setPassband(band->tuning.passband);
    if (generation != m_sessionID)
        return;
    setWaterfallZoom(m_waterfallZoom);
    sendOpenWebRXDSPControl();
    if (!m_didStartOpenWebRXDemodulator && m_openWebRXSocket && generation == m_sessionID) {
        m_didStartOpenWebRXDemodulator = true;
        m_openWebRXSocket->sendText(openWebRXDSPStart());
        setState(State::connected());
    }
}

void KiwiSDRClient::sendOpenWebRXDSPControl()
{
    if (!m_openWebRXCenterHz || !m_openWebRXSocket)
        return;
    const std::optional<OpenWebRXDSPParams> params =
        openWebRXDSPParams({m_frequencyKHz, m_mode, m_passband}, *m_openWebRXCenterHz);
    if (!params)
        return;
    m_openWebRXSocket->sendText(
        openWebRXDSPControl(params->mod, params->offsetHz, params->lowCutHz, params->highCutHz));
}
