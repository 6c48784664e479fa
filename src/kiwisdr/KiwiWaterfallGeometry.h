#pragma once
// Where a waterfall row lies in the band, worked out on the waterfall channel's
// receive thread from the channel's own "bandwidth" and "zoom_max" parameters.

#include "kiwisdr/KiwiFrames.h"
#include "model/ReceiverModel.h"

#include <cstdint>
#include <optional>

class KiwiWaterfallGeometry {
public:
    struct Placed {
        WaterfallRow row;
        // The zoom or position differs from the previous frame's.
        bool geometryChanged = false;
    };

    void applyParameters(const KiwiParams& params);

    // No row for a frame whose zoom is beyond any real receiver's.
    std::optional<Placed> place(KiwiWaterfallFrame frame);

private:
    double bandwidthHz = 30'000'000;
    double highestZoom = 14;
    std::optional<int> lastZoom;
    std::optional<std::uint32_t> lastXBin;
};
