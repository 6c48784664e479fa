#include "KiwiWaterfallChannel.h"

#include "model/StrictInteger.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// Bins at the highest zoom across the whole band.
constexpr double fullWidthBins = KiwiWaterfallChannel::binsPerRow * double(1 << KiwiWaterfallChannel::maxZoom);
constexpr auto tickInterval = std::chrono::milliseconds(10);
constexpr std::int64_t maxRowsPerTick = 2;
constexpr std::int64_t maxFastRowsPerTick = 8;

} // namespace

KiwiWaterfallChannel::KiwiWaterfallChannel(std::unique_ptr<QWebSocket> socket, QString timestamp,
                                           const KiwiChannelContext& context, QObject* parent)
    : KiwiChannel(std::move(socket), std::move(timestamp), context, parent)
{
    frameTimer_.setTimerType(Qt::PreciseTimer);
    frameTimer_.setInterval(context_.options.fast ? std::chrono::milliseconds(0) : tickInterval);
    connect(&frameTimer_, &QTimer::timeout, this, &KiwiWaterfallChannel::tick);
}

KiwiWaterfallChannel::~KiwiWaterfallChannel()
{
    if (slot_)
        context_.waterfallSlots.release(*slot_);
}

std::optional<KiwiWaterfallChannel::Geometry> KiwiWaterfallChannel::geometryFor(const KiwiCommand& command)
{
    const std::optional<QString> zoomText = command.value(u"zoom");
    const std::optional<double> start = parseFiniteNumber(command.value(u"start"));
    if (!zoomText || !start)
        return std::nullopt;
    const std::optional<std::int64_t> zoom = parseStrictInteger(*zoomText);
    if (!zoom)
        return std::nullopt;
    Geometry g;
    g.zoom = static_cast<int>(std::clamp<std::int64_t>(*zoom, 0, maxZoom));
    const double span = fullWidthBins / double(1 << g.zoom);
    g.xBin = static_cast<std::uint32_t>(std::llround(std::clamp(*start, 0.0, fullWidthBins - span)));
    return g;
}

std::optional<QString> KiwiWaterfallChannel::refusal()
{
    if (context_.options.badp)
        return QStringLiteral("badp=") + *context_.options.badp;
    if (context_.options.refuseWaterfall)
        return QStringLiteral("too_busy=%1").arg(context_.waterfallSlots.count());
    slot_ = context_.waterfallSlots.acquire();
    if (!slot_)
        return QStringLiteral("too_busy=%1").arg(context_.waterfallSlots.count());
    return std::nullopt;
}

void KiwiWaterfallChannel::accepted()
{
    sendMessage(QStringLiteral("badp=0"));
    sendMessage(QStringLiteral("wf_fps=%1").arg(context_.options.waterfallFPS));
    sendMessage(QStringLiteral("wf_chans=%1").arg(context_.waterfallSlots.count()));
    sendMessage(QStringLiteral("zoom_max=%1").arg(maxZoom));
    sendMessage(QStringLiteral("zoom_cap=%1").arg(maxZoom));
    sendMessage(QStringLiteral("bandwidth=%1").arg(static_cast<qint64>(SimBand::bandwidthHz)));
    rowClock_.start();
    frameTimer_.start();
}

void KiwiWaterfallChannel::handleCommand(const KiwiCommand& command)
{
    if (command.has(u"zoom")) {
        if (const std::optional<Geometry> g = geometryFor(command))
            geometry_ = *g;
    }
}

void KiwiWaterfallChannel::tick()
{
    if (!isOpen()) {
        frameTimer_.stop();
        return;
    }
    if (context_.options.fast) {
        for (std::int64_t n = 0; n < maxFastRowsPerTick && sendRow(); ++n) {
        }
        return;
    }
    const double rowsPerMs = context_.options.waterfallFPS / 1000.0;
    const auto due = static_cast<std::int64_t>(static_cast<double>(rowClock_.elapsed()) * rowsPerMs);
    for (std::int64_t n = 0; n < maxRowsPerTick && rowsDone_ < due; ++n, ++rowsDone_)
        sendRow();
    rowsDone_ = std::max(rowsDone_, due - maxRowsPerTick);
}

bool KiwiWaterfallChannel::sendRow()
{
    if (hasBacklog())
        return false;
    const double binHz = SimBand::bandwidthHz / (binsPerRow * double(1 << geometry_.zoom));
    const double startHz = SimBand::bandwidthHz * geometry_.xBin / fullWidthBins;
    const double t = static_cast<double>(context_.bandClock.elapsed()) / 1000.0;
    std::array<float, binsPerRow> levels{};
    context_.band.levels(startHz, binHz, t, noiseState_, levels);
    std::array<std::uint8_t, binsPerRow> bins{};
    std::transform(levels.begin(), levels.end(), bins.begin(), [](float db) {
        // A bin byte means (value - 255) dB.
        return static_cast<std::uint8_t>(std::lround(std::clamp(db + 255.0f, 0.0f, 255.0f)));
    });
    if (!sendFrame(kiwiWaterfallFrame(geometry_.xBin, geometry_.zoom, sequence_, bins)))
        return false;
    ++sequence_;
    return true;
}
