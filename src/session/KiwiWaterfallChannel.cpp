// The KiwiSDR waterfall channel: its setup, its rows with their geometry, and
// its own failures, which never end the session.
#include "session/KiwiSDRClient.h"

#include "diagnostics/LatencyProbes.h"
#include "session/KiwiCommands.h"
#include "model/KiwiError.h"
#include "session/KiwiParamValues.h"
#include "session/KiwiWaterfallGeometry.h"
#include "session/KiwiWebSocket.h"

void KiwiSDRClient::openWaterfallChannel()
{
    if (m_didOpenWaterfall || !m_serverURL)
        return;
    const QUrl channelURL = kiwiChannelURL(*m_serverURL, m_sessionTimestamp, QStringLiteral("W/F"));
    if (!channelURL.isValid())
        return;
    m_didOpenWaterfall = true;

    // Runs on the network thread: rows go straight to the views; the session
    // hears only of parameters and of geometry changes.
    const QPointer<KiwiSDRClient> client(this);
    const std::int64_t generation = m_sessionID;
    auto receive = [client, rows = m_rows, generation, geometry = KiwiWaterfallGeometry()](
                       const QByteArray& bytes) mutable {
        std::optional<KiwiMessage> message = parse(bytes);
        if (!message)
            return;
        if (auto* params = std::get_if<KiwiParams>(&*message)) {
            geometry.applyParameters(*params);
            post(client, [params = std::move(*params), generation](KiwiSDRClient& session) {
                session.handleWaterfallParameters(params, generation);
            });
        } else if (auto* frame = std::get_if<KiwiWaterfallFrame>(&*message)) {
            LatencyProbes::waterfallRowArrived(frame->sequence);
            std::optional<KiwiWaterfallGeometry::Placed> placed = geometry.place(std::move(*frame));
            if (!placed)
                return;
            rows->yield(placed->row);
            if (placed->geometryChanged) {
                post(client, [zoom = placed->row.zoom, startHz = placed->row.startHz, generation](
                                 KiwiSDRClient& session) {
                    session.handleWaterfallGeometry(zoom, startHz, generation);
                });
            }
        }
    };
    auto failed = [client, generation](const QString&) {
        post(client, [generation](KiwiSDRClient& session) { session.waterfallChannelFailed(generation); });
    };
    m_waterfallSocket = std::make_unique<KiwiWebSocket>(std::move(receive), std::move(failed));
    m_waterfallSocket->open(channelURL, m_openTimeout);
    m_waterfallSocket->sendText(kiwiAuthCommand(m_password));
}

void KiwiSDRClient::handleWaterfallGeometry(int zoom, double startHz, std::int64_t generation)
{
    if (generation != m_sessionID)
        return;
    m_didReceiveWaterfall = true;
    setWaterfallZoomValue(zoom);
    setWaterfallStartHz(startHz);
    setWaterfallError(std::nullopt);
}

void KiwiSDRClient::waterfallChannelFailed(std::int64_t generation)
{
    if (generation != m_sessionID || !m_state.isActive())
        return;
    if (!m_waterfallError)
        setWaterfallError(QStringLiteral("The waterfall stream was closed by the server."));
    m_waterfallSocket.reset();
}

void KiwiSDRClient::handleWaterfallParameters(const KiwiParams& params, std::int64_t generation)
{
    for (const KiwiParam& param : params) {
        if (generation != m_sessionID)
            return;
        const QString& key = param.key;
        const std::optional<QString>& value = param.value;
        if (key == u"badp") {
            if (value == QStringLiteral("0")) {
                if (!m_waterfallSocket)
                    continue;
                for (const QString& command : kiwiWaterfallSetupCommands)
                    m_waterfallSocket->sendText(command);
                setWaterfallZoom(m_waterfallZoom);
                if (m_waterfallSocket)
                    m_waterfallSocket->sendText(kiwiKeepaliveCommand);
            } else {
                const std::int64_t code = parseKiwiInteger(value).value_or(-1);
                setWaterfallError(KiwiError::authentication(code).errorDescription());
            }
        } else if (key == u"too_busy") {
            setWaterfallError(m_didReceiveWaterfall
                    ? QStringLiteral("The receiver's limit on app connections closed the waterfall.")
                    : QStringLiteral("All waterfall channels are in use."));
        } else if (key == u"zoom_max") {
            if (const auto zoom = parseKiwiInteger(value))
                updateInfo([&](KiwiReceiverInfo& info) { info.maxZoom = clampedZoom(*zoom); });
        } else if (key == u"zoom_cap") {
            if (const auto zoom = parseKiwiInteger(value))
                updateInfo([&](KiwiReceiverInfo& info) { info.zoomCap = clampedZoom(*zoom); });
        } else if (key == u"wf_fps") {
            updateInfo([&](KiwiReceiverInfo& info) { info.waterfallFPS = parseKiwiInteger(value); });
        } else if (key == u"wf_chans") {
            updateInfo([&](KiwiReceiverInfo& info) { info.waterfallChannels = parseKiwiInteger(value); });
        } else if (key == u"bandwidth") {
            if (const auto hz = parseKiwiNumber(value); hz && isUsableBandwidth(*hz))
                updateInfo([&](KiwiReceiverInfo& info) { info.bandwidthHz = *hz; });
        }
    }
}
