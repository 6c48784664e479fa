#include "openwebrx/OpenWebRXConnection.h"

#include "model/ReceiverError.h"
#include "openwebrx/OpenWebRXMessage.h"
#include "openwebrx/OpenWebRXModulations.h"
#include "openwebrx/OpenWebRXPipeline.h"
#include "connection/MergedResults.h"

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

ReceiverFeatures OpenWebRXConnection::openWebRXFeatures()
{
    return {.modes = modesFor({}),
        .gainControls = false,
        .bandProfiles = true,
        .waterfallSpeed = false,
        .calibratedSMeter = false,
        .decoders = true};
}

QList<Mode> OpenWebRXConnection::modesFor(const QSet<QString>& modulations)
{
    static const QSet<QString> common{QStringLiteral("am"), QStringLiteral("lsb"), QStringLiteral("usb"),
        QStringLiteral("cw"), QStringLiteral("nfm"), QStringLiteral("wfm")};
    const QSet<QString>& offered = modulations.isEmpty() ? common : modulations;
    QList<Mode> modes;
    for (const Mode mode : allModes) {
        if (offered.contains(openWebRXModulation(mode)))
            modes.append(mode);
    }
    return modes;
}

void OpenWebRXConnection::open()
{
    const std::optional<QUrl> socketURL = openWebRXSocketURL(m_context.serverURL);
    if (!socketURL) {
        m_session.refused(ReceiverError::invalidAddress());
        return;
    }
    // The sink runs on the network thread; the event on the GUI thread, only
    // while this connection lasts. The player restarts with every change of
    // audio rate and a failed start is not told: the next frame of another
    // rate tries again.
    m_pipeline->reset([this, post = m_context.post](AudioFraming framing) {
        post([this, framing] {
            m_session.changeInfo([framing](ReceiverInfo& info) { info.audioFraming = framing; });
        });
    });
    m_session.changeInfo([](ReceiverInfo& info) {
        info.sampleRate = openWebRXAudioRate;
        info.audioRate = openWebRXAudioRate;
    });

    // Runs on the network thread. `this` is only used by the returned events,
    // which run on the GUI thread and are dropped once this connection ended.
    // The decoder's text is cleaned here, piece by piece in order.
    auto read = [this, pipeline = m_pipeline, levels = std::make_shared<MergedResults<OpenWebRXSMeter>>(),
                    decodes = std::make_shared<MergedResults<DecoderOutput>>(),
                    cleaner = std::make_shared<DecodedTextCleaner>()](
                    const QByteArray& bytes) -> std::function<void()> {
        const std::span<const std::uint8_t> message(
            reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size()));
        if (message.empty() || pipeline->processMessage(message))
            return {};
        std::optional<OpenWebRXMessage> parsed = parseOpenWebRXText(QString::fromUtf8(bytes));
        if (!parsed)
            return {};
        if (parsed->type == u"secondary_demod") {
            OpenWebRXDecode decode = readOpenWebRXDecode(parsed->value);
            QString text;
            QList<DecodedMessage> messages;
            if (const auto* piece = std::get_if<QString>(&decode))
                text = cleaner->clean(*piece);
            else if (auto* decoded = std::get_if<DecodedMessage>(&decode))
                messages.append(std::move(*decoded));
            if ((text.isEmpty() && messages.isEmpty())
                || !decodes->fold([&](DecoderOutput& pending) { pending.append(text, std::move(messages)); }))
                return {};
            return [this, decodes] { m_session.decoded(decodes->take()); };
        }
        if (parsed->type == u"config" && parsed->value)
            pipeline->applyConfig(*parsed->value);
        std::optional<OpenWebRXEvent> event = readOpenWebRXEvent(*parsed);
        if (!event)
            return {};
        if (const auto* config = std::get_if<OpenWebRXDecoderConfig>(&*event); config && config->rateHz)
            pipeline->setDecoderRate(*config->rateHz);
        if (const auto* level = std::get_if<OpenWebRXSMeter>(&*event)) {
            if (!levels->fold([&](OpenWebRXSMeter& latest) { latest = *level; }))
                return {};
            return [this, levels] { handleEvent(levels->take()); };
        }
        return [this, event = std::move(*event)] { handleEvent(event); };
    };
    m_socket = openEventSocket(*socketURL, m_context.openTimeout, m_context.post, std::move(read),
        [this](const QString& description) { m_session.broke(description); }, m_context.receivedBytes);
    m_socket->sendText(openWebRXHandshakeLine());
    m_socket->sendText(openWebRXConnectionProperties());
}

void OpenWebRXConnection::close()
{
    m_pipeline->close();
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

void OpenWebRXConnection::sendDecoder(const ReceiverTuning& tuning, const std::optional<QString>& modulation)
{
    if (!m_centerHz || !m_socket)
        return;
    if (const std::optional<OpenWebRXDSPParams> params = openWebRXDSPParams(tuning, *m_centerHz)) {
        m_socket->sendText(
            openWebRXDecoderControl(params->mod, params->offsetHz, params->lowCutHz, params->highCutHz, modulation));
    }
}

void OpenWebRXConnection::sendDecoderOffset(std::int64_t offsetHz)
{
    if (m_socket)
        m_socket->sendText(openWebRXDecoderOffset(offsetHz));
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

void OpenWebRXConnection::handleEvent(const OpenWebRXEvent& event)
{
    if (const auto* version = std::get_if<OpenWebRXVersion>(&event)) {
        m_session.changeInfo([&](ReceiverInfo& info) { info.softwareVersion = version->text; });
    } else if (const auto* config = std::get_if<OpenWebRXConfigValues>(&event)) {
        applyConfig(*config);
    } else if (const auto* details = std::get_if<OpenWebRXDetails>(&event)) {
        m_session.changeInfo([&](ReceiverInfo& info) {
            for (const auto& [field, text] : {std::pair{&info.name, &details->name},
                     std::pair{&info.location, &details->location}, std::pair{&info.grid, &details->grid},
                     std::pair{&info.gps, &details->gps}}) {
                if (*text)
                    *field = *text;
            }
        });
    } else if (const auto* clients = std::get_if<OpenWebRXClients>(&event)) {
        m_session.changeInfo([&](ReceiverInfo& info) { info.users = clients->count; });
    } else if (const auto* usage = std::get_if<OpenWebRXCPUUsage>(&event)) {
        m_session.changeLoad([&](ReceiverLoad& load) { load.cpuPercent = usage->percent; });
    } else if (const auto* temperature = std::get_if<OpenWebRXTemperature>(&event)) {
        m_session.changeLoad([&](ReceiverLoad& load) { load.temperatureC = temperature->celsius; });
    } else if (const auto* level = std::get_if<OpenWebRXSMeter>(&event)) {
        m_session.signalLevel(level->level);
    } else if (const auto* profiles = std::get_if<QList<ReceiverProfile>>(&event)) {
        m_session.profilesOffered(*profiles);
    } else if (const auto* modes = std::get_if<OpenWebRXModes>(&event)) {
        m_modes = *modes;
        m_session.modulationsOffered(modes->analog);
        m_session.modesOffered(modesFor(modes->analog));
        m_session.decodersOffered(openWebRXDecoders(*m_modes, m_features));
    } else if (const auto* features = std::get_if<OpenWebRXFeatures>(&event)) {
        m_features = features->available;
        if (m_modes)
            m_session.decodersOffered(openWebRXDecoders(*m_modes, m_features));
    } else if (const auto* channel = std::get_if<OpenWebRXDecoderConfig>(&event)) {
        m_session.changeDecoderChannel([&](DecoderChannel& values) {
            if (channel->bandwidthHz)
                values.bandwidthHz = channel->bandwidthHz;
        });
    } else if (const auto* bookmarks = std::get_if<OpenWebRXBookmarks>(&event)) {
        m_session.changeReceiverLabels([&](ReceiverLabels& labels) { labels.bookmarks = bookmarks->labels; });
    } else if (const auto* dials = std::get_if<OpenWebRXDialFrequencies>(&event)) {
        m_session.changeReceiverLabels([&](ReceiverLabels& labels) { labels.dialFrequencies = dials->labels; });
    } else if (const auto* failure = std::get_if<OpenWebRXFailure>(&event)) {
        m_session.refused(ReceiverError::server(failure->text));
    }
}

void OpenWebRXConnection::applyConfig(const OpenWebRXConfigValues& values)
{
    m_session.changeInfo([&](ReceiverInfo& info) {
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
