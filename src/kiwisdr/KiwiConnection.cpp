// The KiwiSDR sound channel: authentication, the receiver's parameters and
// refusals, the setup commands, audio and the S-meter; the keepalive of both
// channels, and the status page.
#include "kiwisdr/KiwiConnection.h"

#include "kiwisdr/KiwiSoundPipeline.h"
#include "diagnostics/LatencyProbes.h"
#include "model/ReceiverError.h"
#include "kiwisdr/KiwiStatusPage.h"
#include "connection/BoundedHttpGet.h"
#include "kiwisdr/KiwiCommands.h"
#include "connection/MergedResults.h"

#include <algorithm>
#include <array>
#include <span>

namespace {

constexpr std::chrono::milliseconds statusTimeout{60'000};

// The sound-channel keys the session acts on; the rest are never posted.
constexpr std::array<std::u16string_view, 20> soundKeys{u"load_dxcfg", u"badp", u"too_busy", u"monitor", u"redirect", u"down",
    u"kiwi_kick", u"inactivity_timeout", u"ip_limit", u"exclusive_use", u"wb_only", u"sample_rate", u"audio_rate",
    u"bandwidth", u"rx_chans", u"rx_chan", u"client_public_ip", u"version_maj", u"version_min", u"load_cfg"};

// Keys that end the session: nothing after one of them is applied.
constexpr std::array<std::u16string_view, 9> endingKeys{u"too_busy", u"monitor", u"redirect", u"down", u"kiwi_kick",
    u"inactivity_timeout", u"ip_limit", u"exclusive_use", u"wb_only"};

bool isAmong(QStringView key, std::span<const std::u16string_view> keys)
{
    return std::any_of(keys.begin(), keys.end(), [&](std::u16string_view k) { return QStringView(k) == key; });
}

bool endsSession(const KiwiConnection::SoundParameter& parameter)
{
    const auto* param = std::get_if<KiwiParam>(&parameter);
    if (!param)
        return false;
    return isAmong(param->key, endingKeys) || (param->key == u"badp" && parseServerInteger(param->value) != 0);
}

} // namespace

KiwiConnection::KiwiConnection(ReceiverSession& session, ConnectionContext context,
    std::optional<QHash<QString, QString>> statusFields, std::shared_ptr<KiwiSoundPipeline> sound,
    std::shared_ptr<Broadcaster<WaterfallRow>> rows, QNetworkAccessManager& network)
    : m_session(session)
    , m_context(std::move(context))
    , m_statusFields(std::move(statusFields))
    , m_sound(std::move(sound))
    , m_rows(std::move(rows))
    , m_network(network)
{
    QObject::connect(&m_keepalive, &QTimer::timeout, [this] { sendKeepalives(); });
    QObject::connect(&m_statusRefresh, &QTimer::timeout, [this] { refreshStatus(); });
}

KiwiConnection::~KiwiConnection()
{
    close();
}

ReceiverFeatures KiwiConnection::kiwiFeatures()
{
    return {.modes{Mode::am, Mode::amn, Mode::amw, Mode::sam, Mode::lsb, Mode::usb, Mode::cw, Mode::cwn, Mode::nbfm},
        .gainControls = true,
        .bandProfiles = false,
        .waterfallSpeed = true,
        .calibratedSMeter = true};
}

void KiwiConnection::open()
{
    const QUrl channelURL = kiwiChannelURL(m_context.serverURL, m_context.timestamp, QStringLiteral("SND"));
    if (!channelURL.isValid()) {
        m_session.refused(ReceiverError::invalidAddress());
        return;
    }
    // The player starts on the network thread, at the rate the receiver
    // announces; the session hears of a failure while this connection lasts.
    m_sound->reset([this, post = m_context.post](const SoundStream::Start& start) {
        if (start.error)
            post([this, error = *start.error] { m_session.audioOutputFailed(error); });
    });

    // Runs on the network thread: decoding and audio happen there. `this` is
    // only used by the returned events, which run on the GUI thread and are
    // dropped once this connection has ended.
    auto read = [this, sound = m_sound, parameters = std::make_shared<MergedResults<SoundParameters>>(),
                    levels = std::make_shared<MergedResults<SoundLevel>>()](
                    const QByteArray& bytes) -> std::function<void()> {
        const std::optional<KiwiMessage> message = parse(bytes);
        if (!message)
            return {};
        if (const auto* params = std::get_if<KiwiParams>(&*message)) {
            sound->applyParameters(*params);
            if (!parameters->fold([&](SoundParameters& pending) { mergeSoundParameters(pending, *params); }))
                return {};
            return [this, parameters] { handleSoundParameters(parameters->take()); };
        }
        if (const auto* frame = std::get_if<KiwiSoundFrame>(&*message)) {
            LatencyProbes::soundFrameArrived();
            sound->processSoundFrame(*frame);
            const bool isOverloaded = (frame->flags & KiwiSoundFrame::flagOverload) != 0;
            const bool isFirst = levels->fold([&](SoundLevel& level) {
                level.rssi = frame->rssi;
                level.isOverloaded = level.isOverloaded || isOverloaded;
            });
            if (!isFirst)
                return {};
            return [this, levels] {
                const SoundLevel level = levels->take();
                handleSoundFrame(level.isOverloaded, level.rssi);
            };
        }
        return {};
    };
    m_soundSocket = openEventSocket(channelURL, m_context.openTimeout, m_context.post, std::move(read),
        [this](const QString& description) { m_session.broke(description); }, m_context.receivedBytes);
    m_soundSocket->sendText(kiwiAuthCommand(m_context.password));
    m_keepalive.start(m_context.keepaliveInterval);

    // The page the detection read came before this connection.
    if (m_statusFields)
        m_session.changeInfo([&](ReceiverInfo& info) { applyKiwiStatusPage(info, *m_statusFields, true); });
    else
        refreshStatus();
    m_statusRefresh.start(m_context.statusRefreshInterval);
}

void KiwiConnection::close()
{
    m_sound->close();
    m_keepalive.stop();
    m_statusRefresh.stop();
    m_requests.reset();
    for (std::unique_ptr<WebSocketChannel>* socket : {&m_soundSocket, &m_waterfallSocket}) {
        if (*socket)
            (*socket)->close();
        socket->reset();
    }
}

void KiwiConnection::sendTuning(const ReceiverTuning& tuning)
{
    if (m_soundSocket)
        m_soundSocket->sendText(kiwiTuneCommand(tuning.mode, tuning.passband, tuning.frequencyKHz));
}

void KiwiConnection::sendGain(const ReceiverGain& gain)
{
    if (m_soundSocket)
        m_soundSocket->sendText(kiwiAGCCommand(gain.agcEnabled, gain.manualGain));
}

void KiwiConnection::mergeSoundParameters(SoundParameters& pending, const KiwiParams& params)
{
    const auto keyOf = [](const SoundParameter& parameter) -> QStringView {
        if (const auto* param = std::get_if<KiwiParam>(&parameter))
            return param->key;
        if (std::holds_alternative<KiwiBandBars>(parameter))
            return u"load_dxcfg";
        return u"load_cfg";
    };
    for (const KiwiParam& param : params) {
        if (std::any_of(pending.begin(), pending.end(), endsSession))
            return;
        if (!isAmong(param.key, soundKeys))
            continue;
        const auto waiting = std::find_if(
            pending.begin(), pending.end(), [&](const SoundParameter& p) { return keyOf(p) == param.key; });
        if (param.key == u"load_dxcfg") {
            // Read here too: an operator's band list can be long.
            std::optional<std::vector<BandBar>> bars = param.value ? readKiwiBandBars(*param.value) : std::nullopt;
            if (!bars)
                continue;
            if (waiting == pending.end())
                pending.emplace_back(KiwiBandBars{std::move(*bars)});
            else
                *waiting = KiwiBandBars{std::move(*bars)};
            continue;
        }
        if (param.key != u"load_cfg") {
            if (waiting == pending.end())
                pending.emplace_back(param);
            else
                *waiting = param;
            continue;
        }
        // The receiver's configuration can be megabytes of JSON: it is read
        // here, not on the GUI thread.
        if (!param.value)
            continue;
        std::optional<KiwiReceiverConfig> config = readReceiverConfig(*param.value);
        if (!config)
            continue;
        if (waiting == pending.end())
            pending.emplace_back(std::move(*config));
        else
            mergeReceiverConfig(std::get<KiwiReceiverConfig>(*waiting), *config);
    }
}

void KiwiConnection::handleSoundParameters(const SoundParameters& params)
{
    for (const SoundParameter& parameter : params) {
        if (const auto* bands = std::get_if<KiwiBandBars>(&parameter)) {
            m_session.changeReceiverLabels([&](ReceiverLabels& labels) { labels.bands = bands->bars; });
            continue;
        }
        if (const auto* config = std::get_if<KiwiReceiverConfig>(&parameter)) {
            m_session.changeInfo([&](ReceiverInfo& info) { applyReceiverConfig(info, *config); });
            continue;
        }
        const QString& key = std::get<KiwiParam>(parameter).key;
        const std::optional<QString>& value = std::get<KiwiParam>(parameter).value;
        if (key == u"badp") {
            const std::optional<std::int64_t> code = parseServerInteger(value);
            if (code != 0) {
                m_session.refused(ReceiverError::authentication(code.value_or(-1)));
                return;
            }
            accept();
            openWaterfall();
            sendSoundSetup();
        } else if (key == u"too_busy") {
            m_session.refused(ReceiverError::tooBusy(value, m_isAccepted));
            return;
        } else if (key == u"monitor") {
            // The receiver offers only to wait for a free channel.
            m_session.refused(ReceiverError::tooBusy(std::nullopt, false));
            return;
        } else if (key == u"redirect") {
            m_session.refused(ReceiverError::redirect(value ? std::optional(percentDecoded(*value)) : std::nullopt));
            return;
        } else if (key == u"down") {
            m_session.refused(ReceiverError::serverDown());
            return;
        } else if (key == u"kiwi_kick") {
            m_session.refused(ReceiverError::kicked(value ? std::optional(percentDecoded(*value)) : std::nullopt));
            return;
        } else if (key == u"inactivity_timeout") {
            m_session.refused(ReceiverError::inactivityTimeout(value));
            return;
        } else if (key == u"ip_limit") {
            m_session.refused(ReceiverError::dailyLimit());
            return;
        } else if (key == u"exclusive_use" || key == u"wb_only") {
            m_session.refused(ReceiverError::exclusiveUse());
            return;
        } else if (key == u"sample_rate") {
            m_session.changeInfo([&](ReceiverInfo& info) { info.sampleRate = parseServerNumber(value); });
            sendSoundSetup();
        } else if (key == u"audio_rate") {
            // The sound pipeline has started the player at it already.
            if (const std::optional<double> rate = parseServerNumber(value); rate && rate != m_audioRate) {
                m_audioRate = rate;
                m_session.changeInfo([&](ReceiverInfo& info) { info.audioRate = *rate; });
                if (const std::optional<QString> reply = kiwiAudioRateReply(*rate))
                    m_soundSocket->sendText(*reply);
            }
        } else if (key == u"bandwidth") {
            if (const auto hz = parseServerNumber(value); hz && isUsableBandwidth(*hz))
                m_session.changeInfo([&](ReceiverInfo& info) { info.bandwidthHz = *hz; });
        } else if (key == u"rx_chans") {
            m_session.changeInfo([&](ReceiverInfo& info) { info.rxChannels = parseServerInteger(value); });
        } else if (key == u"rx_chan") {
            m_session.changeInfo([&](ReceiverInfo& info) { info.rxChannel = parseServerInteger(value); });
        } else if (key == u"client_public_ip") {
            m_session.changeInfo([&](ReceiverInfo& info) { info.clientIP = value; });
        } else if (key == u"version_maj" || key == u"version_min") {
            m_session.changeInfo([&](ReceiverInfo& info) {
                info.softwareVersion = updatedSoftwareVersion(info.softwareVersion, key, value);
            });
        }
    }
}

void KiwiConnection::handleSoundFrame(bool isOverloaded, double rssi)
{
    accept();
    m_session.signalLevel(rssi);
    m_session.adcOverload(isOverloaded);
}

void KiwiConnection::accept()
{
    if (m_isAccepted)
        return;
    m_isAccepted = true;
    m_session.accepted();
}

void KiwiConnection::sendSoundSetup()
{
    if (m_didSendSoundSetup || !m_isAccepted || !m_session.receiverInfo().sampleRate)
        return;
    m_didSendSoundSetup = true;
    const ReceiverTuning tuning = m_session.tuningInBand();
    m_soundSocket->sendText(kiwiIdentCommand(m_context.identity));
    sendTuning(tuning);
    sendGain(m_session.currentGain());
    m_soundSocket->sendText(kiwiCompressionOffCommand);
    m_soundSocket->sendText(kiwiKeepaliveCommand);
}

void KiwiConnection::sendKeepalives()
{
    for (WebSocketChannel* socket : {m_soundSocket.get(), m_waterfallSocket.get()}) {
        if (socket)
            socket->sendText(kiwiKeepaliveCommand);
    }
}

void KiwiConnection::refreshStatus()
{
    m_requests = std::make_unique<QObject>();
    new BoundedHttpGet(m_network, kiwiStatusPageURL(m_context.serverURL), statusTimeout, maxKiwiStatusPageBytes,
        [this](const std::optional<HttpResponse>& response) {
            if (!response)
                return;
            // A status page may be a megabyte: it is read on the network
            // thread.
            computeThenPost(
                m_context.post, [body = response->body] { return parseKiwiStatusPage(body); },
                [this](const QHash<QString, QString>& fields) {
                    m_session.changeInfo([&](ReceiverInfo& info) { applyKiwiStatusPage(info, fields); });
                });
        },
        m_requests.get());
}
