// The KiwiSDR waterfall channel: its setup, its rows with their geometry, and
// its own failures, which never end the session.
#include "kiwisdr/KiwiConnection.h"

#include "diagnostics/LatencyProbes.h"
#include "model/ReceiverError.h"
#include "kiwisdr/KiwiCommands.h"
#include "kiwisdr/KiwiWaterfallGeometry.h"
#include "connection/MergedResults.h"

#include <algorithm>
#include <array>

namespace {

// The waterfall-channel keys the session acts on; the rest are never posted.
constexpr std::array<std::u16string_view, 7> waterfallKeys{
    u"badp", u"too_busy", u"zoom_max", u"zoom_cap", u"wf_fps", u"wf_chans", u"bandwidth"};

struct Placement {
    int zoom = 0;
    double startHz = 0;
};

} // namespace

#include <QCoreApplication>

void KiwiConnection::openWaterfall()
{
    if (m_didOpenWaterfall)
        return;
    const QUrl channelURL = kiwiChannelURL(m_context.serverURL, m_context.timestamp, QStringLiteral("W/F"));
    if (!channelURL.isValid())
        return;
    m_didOpenWaterfall = true;

    // Runs on the network thread: rows go straight to the views; the session
    // hears only of parameters and of geometry changes.
    auto read = [this, rows = m_rows, geometry = KiwiWaterfallGeometry(),
                    parameters = std::make_shared<MergedResults<KiwiParams>>(),
                    placement = std::make_shared<MergedResults<Placement>>()](
                    const QByteArray& bytes) mutable -> std::function<void()> {
        std::optional<KiwiMessage> message = parse(bytes);
        if (!message)
            return {};
        if (auto* params = std::get_if<KiwiParams>(&*message)) {
            geometry.applyParameters(*params);
            if (!parameters->fold([&](KiwiParams& pending) { mergeWaterfallParameters(pending, *params); }))
                return {};
            return [this, parameters] { handleWaterfallParameters(parameters->take()); };
        }
        auto* frame = std::get_if<KiwiWaterfallFrame>(&*message);
        if (!frame)
            return {};
        LatencyProbes::waterfallRowArrived(frame->sequence);
        std::optional<KiwiWaterfallGeometry::Placed> placed = geometry.place(std::move(*frame));
        if (!placed)
            return {};
        rows->yield(placed->row);
        if (!placed->geometryChanged)
            return {};
        // Only where the latest row lies matters to the session.
        if (!placement->fold([&](Placement& p) { p = {placed->row.zoom, placed->row.startHz}; }))
            return {};
        return [this, placement] {
            const Placement p = placement->take();
            waterfallPlaced(p.zoom, p.startHz);
        };
    };
    m_waterfallSocket = openEventSocket(channelURL, m_context.openTimeout, m_context.post, std::move(read),
        [this](const QString&) { waterfallFailed(); }, m_context.receivedBytes);
    m_waterfallSocket->sendText(kiwiAuthCommand(m_context.password));
}

void KiwiConnection::setWaterfallView(int zoom, double startHz)
{
    if (!m_waterfallSocket)
        return;
    const ReceiverInfo& info = m_session.receiverInfo();
    if (const auto command = kiwiZoomCommand(zoom, startHz, info.bandwidthHz, info.maxZoom))
        m_waterfallSocket->sendText(*command);
}

void KiwiConnection::waterfallPlaced(int zoom, double startHz)
{
    m_didReceiveWaterfall = true;
    m_session.waterfallPlaced(zoom, startHz);
}

void KiwiConnection::waterfallFailed()
{
    m_session.waterfallEnded(
        QCoreApplication::translate("KiwiWaterfallChannel", "The waterfall stream was closed by the server."));
    m_waterfallSocket.reset();
}

void KiwiConnection::mergeWaterfallParameters(KiwiParams& pending, const KiwiParams& params)
{
    for (const KiwiParam& param : params) {
        if (std::none_of(waterfallKeys.begin(), waterfallKeys.end(), [&](std::u16string_view key) { return QStringView(key) == param.key; }))
            continue;
        const auto waiting
            = std::find_if(pending.begin(), pending.end(), [&](const KiwiParam& p) { return p.key == param.key; });
        if (waiting == pending.end())
            pending.push_back(param);
        else
            *waiting = param;
    }
}

void KiwiConnection::handleWaterfallParameters(const KiwiParams& params)
{
    for (const KiwiParam& param : params) {
        const QString& key = param.key;
        const std::optional<QString>& value = param.value;
        if (key == u"badp") {
            if (value != QStringLiteral("0")) {
                const std::int64_t code = parseServerInteger(value).value_or(-1);
                m_session.waterfallTrouble(ReceiverError::authentication(code).errorDescription());
            } else if (m_waterfallSocket) {
                for (const QString& command : kiwiWaterfallSetupCommands)
                    m_waterfallSocket->sendText(command);
                m_session.waterfallAccepted();
                m_waterfallSocket->sendText(kiwiKeepaliveCommand);
                m_waterfallSetUp = true;
                if (m_waterfallSpeed != kiwiFastestWaterfallSpeed)
                    m_waterfallSocket->sendText(kiwiWaterfallSpeedCommand(m_waterfallSpeed));
            }
        } else if (key == u"too_busy") {
            m_session.waterfallTrouble(m_didReceiveWaterfall
                    ? QCoreApplication::translate("KiwiWaterfallChannel",
                          "The receiver's limit on app connections closed the waterfall.")
                    : QCoreApplication::translate("KiwiWaterfallChannel", "All waterfall channels are in use."));
        } else if (key == u"zoom_max") {
            if (const auto zoom = parseServerInteger(value))
                m_session.changeInfo([&](ReceiverInfo& info) { info.maxZoom = clampedZoom(*zoom); });
        } else if (key == u"zoom_cap") {
            if (const auto zoom = parseServerInteger(value))
                m_session.changeInfo([&](ReceiverInfo& info) { info.zoomCap = clampedZoom(*zoom); });
        } else if (key == u"wf_fps") {
            m_session.changeInfo([&](ReceiverInfo& info) { info.waterfallFPS = parseServerInteger(value); });
        } else if (key == u"wf_chans") {
            m_session.changeInfo([&](ReceiverInfo& info) { info.waterfallChannels = parseServerInteger(value); });
        } else if (key == u"bandwidth") {
            if (const auto hz = parseServerNumber(value); hz && isUsableBandwidth(*hz))
                m_session.changeInfo([&](ReceiverInfo& info) { info.bandwidthHz = *hz; });
        }
    }
}

void KiwiConnection::setWaterfallSpeed(WaterfallSpeed speed)
{
    const int kiwiSpeed = kiwiWaterfallSpeed(speed);
    if (kiwiSpeed == m_waterfallSpeed)
        return;
    m_waterfallSpeed = kiwiSpeed;
    if (m_waterfallSetUp && m_waterfallSocket)
        m_waterfallSocket->sendText(kiwiWaterfallSpeedCommand(kiwiSpeed));
}
