#include "kiwisdr/KiwiWaterfallGeometry.h"

#include "kiwisdr/KiwiParamValues.h"

#include <algorithm>
#include <cmath>

void KiwiWaterfallGeometry::applyParameters(const KiwiParams& params)
{
    for (const KiwiParam& param : params) {
        if (param.key == u"bandwidth") {
            if (const auto hz = parseServerNumber(param.value); hz && isUsableBandwidth(*hz))
                bandwidthHz = *hz;
        } else if (param.key == u"zoom_max") {
            if (const auto zoom = parseServerNumber(param.value))
                highestZoom = std::clamp(*zoom, 0.0, double(maxZoomLevel));
        }
    }
}

std::optional<KiwiWaterfallGeometry::Placed> KiwiWaterfallGeometry::place(KiwiWaterfallFrame frame)
{
    if (frame.zoom < 0 || frame.zoom > maxZoomLevel)
        return std::nullopt;
    Placed placed;
    placed.row.spanHz = bandwidthHz / std::ldexp(1.0, frame.zoom);
    placed.row.startHz = bandwidthHz * frame.xBin / (std::exp2(highestZoom) * 1024.0);
    placed.row.zoom = frame.zoom;
    placed.row.sequence = frame.sequence;
    // A KiwiSDR's byte v is a level of v - 255 dB.
    placed.row.bins.resize(frame.bins.size());
    std::transform(frame.bins.begin(), frame.bins.end(), placed.row.bins.begin(),
        [](std::uint8_t v) { return static_cast<float>(v) - 255.0f; });
    placed.geometryChanged = lastZoom != frame.zoom || lastXBin != frame.xBin;
    lastZoom = frame.zoom;
    lastXBin = frame.xBin;
    return placed;
}
