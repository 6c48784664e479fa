// The KiwiSDR sound channel: authentication, the server's parameters and
// refusals, the setup commands, audio and the S-meter, and the keepalive.
#include "session/KiwiSDRClient.h"

#include "audio/KiwiAudioPlayer.h"
#include "audio/KiwiSoundPipeline.h"
#include "diagnostics/LatencyProbes.h"
#include "session/KiwiCommands.h"
#include "model/KiwiError.h"
#include "session/KiwiParamValues.h"
#include "session/KiwiWebSocket.h"
#include "model/StatusPage.h"

#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

void KiwiSDRClient::openSoundChannel(const QUrl& url, std::int64_t generation,
    const std::optional<StatusFields>& statusFields)
{
    const QUrl channelURL = kiwiChannelURL(url, m_sessionTimestamp, QStringLiteral("SND"));
    if (!channelURL.isValid()) {
        setState(State::failed(KiwiError::invalidAddress().errorDescription()));
        return;
    }

    // Runs on the network thread: decoding and audio happen there, the rest
    // is posted to the session with this connection's generation.
    const QPointer<KiwiSDRClient> client(this);
    auto receive = [client, pipeline = m_sound, generation](const QByteArray& bytes) {
        std::optional<KiwiMessage> message = parse(bytes);
        if (!message)
            return;
        if (auto* params = std::get_if<KiwiParams>(&*message)) {
            pipeline->applyParameters(*params);
            // The receiver's configuration can be megabytes of JSON: it is
            // read here, not on the GUI thread.
            std::vector<KiwiReceiverConfig> configs;
            std::erase_if(*params, [&configs](const KiwiParam& param) {
                if (param.key != u"load_cfg")
                    return false;
                if (param.value) {
                    if (std::optional<KiwiReceiverConfig> config = readReceiverConfig(*param.value))
                        configs.push_back(std::move(*config));
                }
                return true;
            });
            post(client, [params = std::move(*params), configs = std::move(configs), generation](
                             KiwiSDRClient& session) {
                session.handleSoundParameters(params, generation);
                for (const KiwiReceiverConfig& config : configs) {
                    if (generation != session.m_sessionID)
                        return;
                    session.updateInfo([&](KiwiReceiverInfo& info) { applyReceiverConfig(info, config); });
                }
            });
        } else if (const auto* frame = std::get_if<KiwiSoundFrame>(&*message)) {
            LatencyProbes::soundFrameArrived();
            pipeline->processSoundFrame(*frame);
            const bool isOverloaded = (frame->flags & KiwiSoundFrame::flagOverload) != 0;
            post(client, [isOverloaded, rssi = frame->rssi, generation](KiwiSDRClient& session) {
                session.handleSoundFrame(isOverloaded, rssi, generation);
            });
        }
    };
    auto failed = [client, generation](const QString& description) {
        post(client, [description, generation](KiwiSDRClient& session) {
            session.handleSocketFailure(description, generation);
        });
    };
    m_soundSocket = std::make_unique<KiwiWebSocket>(std::move(receive), std::move(failed));
    m_soundSocket->open(channelURL, m_openTimeout);
    m_soundSocket->sendText(kiwiAuthCommand(m_password));

    auto* keepalive = new QTimer(tasks());
    QObject::connect(keepalive, &QTimer::timeout, this, &KiwiSDRClient::sendKeepalives);
    keepalive->start(m_keepaliveInterval);

    if (statusFields)
        applyStatusFields(*statusFields);
    else
        startStatusRefresh(generation);
}

void KiwiSDRClient::sendKeepalives()
{
    for (const auto& socket : {m_soundSocket.get(), m_waterfallSocket.get()}) {
        if (socket)
            socket->sendText(kiwiKeepaliveCommand);
    }
}

void KiwiSDRClient::sendSoundSetup()
{
    if (m_didSendSoundSetup || !m_info.sampleRate || !m_state.isConnected() || !m_soundSocket)
        return;
    m_didSendSoundSetup = true;
    setFrequencyKHz(std::min(std::max(m_frequencyKHz, m_info.baseHz / 1000),
        (m_info.baseHz + m_info.bandwidthHz) / 1000));
    m_soundSocket->sendText(kiwiIdentCommand(m_identity));
    sendTune();
    sendAGC();
    m_soundSocket->sendText(kiwiCompressionOffCommand);
    m_soundSocket->sendText(kiwiKeepaliveCommand);
}

void KiwiSDRClient::handleSoundFrame(bool isOverloaded, double rssi, std::int64_t generation)
{
    if (generation != m_sessionID)
        return;
    if (m_state.isConnecting())
        setState(State::connected());
    setRssi(rssi);
    setADCOverloaded(isOverloaded);
}

void KiwiSDRClient::handleSoundParameters(const KiwiParams& params, std::int64_t generation)
{
    for (const KiwiParam& param : params) {
        // A handler of a signal emitted below may have ended the connection.
        if (generation != m_sessionID)
            return;
        const QString& key = param.key;
        const std::optional<QString>& value = param.value;
        if (key == u"badp") {
            const std::optional<std::int64_t> code = parseKiwiInteger(value);
            if (code != 0) {
                endWith(KiwiError::authentication(code.value_or(-1)));
                return;
            }
            if (!m_state.isConnected())
                setState(State::connected());
            openWaterfallChannel();
            sendSoundSetup();
        } else if (key == u"too_busy") {
            const bool afterConnecting = m_state.isConnected();
            const std::optional<QUrl> url = m_serverURL;
            endWith(KiwiError::tooBusy(value, afterConnecting));
            if (afterConnecting && url)
                setWebPageAfterAppLimit(webPageURL(*url, m_frequencyKHz, m_mode));
            return;
        } else if (key == u"monitor") {
            // The receiver offers only to wait for a free channel.
            endWith(KiwiError::tooBusy(std::nullopt, false));
            return;
        } else if (key == u"redirect") {
            endWith(KiwiError::redirect(value ? std::optional(percentDecoded(*value)) : std::nullopt));
            return;
        } else if (key == u"down") {
            endWith(KiwiError::serverDown());
            return;
        } else if (key == u"kiwi_kick") {
            endWith(KiwiError::kicked(value ? std::optional(percentDecoded(*value)) : std::nullopt));
            return;
        } else if (key == u"inactivity_timeout") {
            endWith(KiwiError::inactivityTimeout(value));
            return;
        } else if (key == u"ip_limit") {
            endWith(KiwiError::dailyLimit());
            return;
        } else if (key == u"exclusive_use" || key == u"wb_only") {
            endWith(KiwiError::exclusiveUse());
            return;
        } else if (key == u"sample_rate") {
            updateInfo([&](KiwiReceiverInfo& info) { info.sampleRate = parseKiwiNumber(value); });
            sendSoundSetup();
        } else if (key == u"audio_rate") {
            if (const std::optional<double> rate = parseKiwiNumber(value))
                startAudio(*rate);
        } else if (key == u"bandwidth") {
            if (const auto hz = parseKiwiNumber(value); hz && isUsableBandwidth(*hz))
                updateInfo([&](KiwiReceiverInfo& info) { info.bandwidthHz = *hz; });
        } else if (key == u"rx_chans") {
            updateInfo([&](KiwiReceiverInfo& info) { info.rxChannels = parseKiwiInteger(value); });
        } else if (key == u"rx_chan") {
            updateInfo([&](KiwiReceiverInfo& info) { info.rxChannel = parseKiwiInteger(value); });
        } else if (key == u"client_public_ip") {
            updateInfo([&](KiwiReceiverInfo& info) { info.clientIP = value; });
        } else if (key == u"version_maj" || key == u"version_min") {
            updateInfo([&](KiwiReceiverInfo& info) {
                info.softwareVersion = updatedSoftwareVersion(info.softwareVersion, key, value);
            });
        }
    }
}

void KiwiSDRClient::startAudio(double audioRate)
{
    updateInfo([&](KiwiReceiverInfo& info) { info.audioRate = audioRate; });
    if (audioRate >= minPlayableAudioRate && audioRate <= maxPlayableAudioRate) {
        if (const std::optional<AudioOutputError> error = m_player->start(audioRate)) {
            const QByteArray line = "Audio output failed to start: " + error->description.toUtf8() + '\n';
            std::fputs(line.constData(), stdout);
            std::fflush(stdout);
        } else {
            applyVolume();
        }
    }
    if (!m_soundSocket)
        return;
    if (const std::optional<QString> reply = kiwiAudioRateReply(audioRate))
        m_soundSocket->sendText(*reply);
}
