#include "session/OpenWebRXConnection.h"

#include "model/KiwiError.h"
#include "openwebrx/OpenWebRXMessage.h"
#include "openwebrx/OpenWebRXPipeline.h"
#include "session/OpenWebRXSessionValues.h"

#include <QLocale>

#include <span>

namespace {

constexpr double openWebRXAudioRate = 12000;

} // namespace

OpenWebRXConnection::OpenWebRXConnection(ReceiverSession& session, ConnectionContext context,
    std::shared_ptr<OpenWebRXPipeline> pipeline)
    : m_session(session)
    , m_context(std::move(context))
    , m_pipeline(std::move(pipeline))
{
}

OpenWebRXConnection::~OpenWebRXConnection()
{
    close();
}

void OpenWebRXConnection::open()
{
    const std::optional<QUrl> socketURL = openWebRXSocketURL(m_context.serverURL);
    if (!socketURL) {
        m_session.refused(KiwiError::invalidAddress());
        return;
    }
    // The sink runs on the network thread; the event on the GUI thread, only
    // while this connection lasts.
    m_pipeline->reset([this, post = m_context.post](AudioFraming framing) {
        post([this, framing] {
            m_session.changeInfo([framing](KiwiReceiverInfo& info) { info.audioFraming = framing; });
        });
    });
    m_session.changeInfo([](KiwiReceiverInfo& info) {
        info.sampleRate = openWebRXAudioRate;
        info.audioRate = openWebRXAudioRate;
    });

    // Runs on the network thread. `this` is only used by the returned events,
    // which run on the GUI thread and are dropped once this connection ended.
    auto read = [this, pipeline = m_pipeline](const QByteArray& bytes) -> std::function<void()> {
        const std::span<const std::uint8_t> message(
            reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size()));
        if (message.empty() || pipeline->processMessage(message))
            return {};
        std::optional<OpenWebRXMessage> parsed = parseOpenWebRXText(QString::fromUtf8(bytes));
        if (!parsed)
            return {};
        if (parsed->type == u"config" && parsed->value)
            pipeline->applyConfig(*parsed->value);
        return [this, parsed = std::move(*parsed)] { handleMessage(parsed); };
    };
    m_socket = openEventSocket(*socketURL, m_context.openTimeout, m_context.post, std::move(read),
        [this](const QString& description) { m_session.broke(description); });
    m_socket->sendText(openWebRXHandshakeLine());
    m_socket->sendText(openWebRXConnectionProperties());
}

void OpenWebRXConnection::close()
{
    if (m_socket)
        m_socket->close();
    m_socket.reset();
}

void OpenWebRXConnection::sendTuning(const ReceiverTuning& tuning)
{
    if (!m_centerHz || !m_socket)
        return;
    if (const std::optional<OpenWebRXDSPParams> params = openWebRXDSPParams(tuning, *m_centerHz))
        m_socket->sendText(openWebRXDSPControl(params->mod, params->offsetHz, params->lowCutHz, params->highCutHz));
}

void OpenWebRXConnection::setWaterfallView(int zoom, double startHz)
{
    m_pipeline->setView(zoom, startHz);
}

void OpenWebRXConnection::selectProfile(const QString& id)
{
    if (m_socket)
        m_socket->sendText(openWebRXSelectProfile(id));
}

void OpenWebRXConnection::handleMessage(const OpenWebRXMessage& message)
{
    const QString& type = message.type;
    static const JSONValue absent;
    const JSONValue& value = message.value ? *message.value : absent;
    if (type == u"handshake") {
        if (const std::optional<QString> version = value.stringMember(QStringLiteral("version"))) {
            m_session.changeInfo([&](KiwiReceiverInfo& info) {
                info.softwareVersion = QStringLiteral("OpenWebRX ") + *version;
            });
        }
    } else if (type == u"config") {
        if (message.value)
            applyConfig(*message.value);
    } else if (type == u"receiver_details") {
        m_session.changeInfo([&](KiwiReceiverInfo& info) {
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
        m_session.changeInfo([&](KiwiReceiverInfo& info) { info.users = openWebRXClients(message.value); });
    } else if (type == u"smeter") {
        if (const std::optional<double> level = openWebRXSMeterDB(message.value))
            m_session.signalLevel(*level);
    } else if (type == u"profiles") {
        m_session.profilesOffered(readOpenWebRXProfiles(message.value));
    } else if (type == u"modes") {
        m_session.modulationsOffered(readOpenWebRXModulations(message.value));
    } else if (type == u"backoff") {
        m_session.refused(KiwiError::server(openWebRXBackoffText(message.reason)));
    } else if (type == u"sdr_error") {
        m_session.refused(KiwiError::server(openWebRXSDRErrorText(message.value)));
    }
}

void OpenWebRXConnection::applyConfig(const JSONValue& config)
{
    const OpenWebRXConfigValues values = readOpenWebRXConfig(config);
    m_session.changeInfo([&](KiwiReceiverInfo& info) {
        if (values.maxUsers)
            info.maxUsers = values.maxUsers;
        if (values.maxZoom) {
            info.maxZoom = *values.maxZoom;
            info.zoomCap = *values.maxZoom;
        }
    });
    if (values.profileID)
        m_session.profileSelected(*values.profileID);

    const std::optional<OpenWebRXBand> band = openWebRXBandForConfig(values, m_centerHz,
        m_session.receiverInfo().bandwidthHz, m_session.currentTuning(), m_session.offeredModes());
    if (!band)
        return;
    m_centerHz = band->centerHz;
    m_session.bandChanged(band->baseHz, band->bandwidthHz, band->tuning);
    if (!m_didStartDemodulator && m_socket) {
        m_didStartDemodulator = true;
        m_socket->sendText(openWebRXDSPStart());
        m_session.accepted();
    }
}
