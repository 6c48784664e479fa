#include "display/PassbandDrag.h"

#include <algorithm>
#include <cmath>

PassbandLimits passbandLimits(Mode mode)
{
    return {passbandEdgeLimitHz(mode)};
}

std::optional<PassbandEdge> passbandEdgeAt(double x, double width, const StripFrequencies& frequencies,
    const PassbandMarks& marks)
{
    if (!(frequencies.spanHz > 0) || !(width > 0))
        return std::nullopt;
    const double low = std::abs(frequencies.xPosition(marks.lowHz, width) - x);
    const double high = std::abs(frequencies.xPosition(marks.highHz, width) - x);
    if (!(std::min(low, high) <= grabDistance))
        return std::nullopt;
    return high < low ? PassbandEdge::high : PassbandEdge::low;
}

Passband draggedPassband(Mode mode, Passband start, PassbandEdge edge, double deltaHz)
{
    const double limit = passbandLimits(mode).edgeLimitHz;
    const double grid = PassbandLimits::gridHz;
    const double width = PassbandLimits::minimumWidthHz;
    const auto onGrid = [grid](double hz) { return std::round(hz / grid) * grid; };
    if (!std::isfinite(deltaHz))
        deltaHz = 0;
    Passband result = start;
    if (edge == PassbandEdge::low) {
        // A passband from the server may lie outside the limits already.
        const double highest = std::max(std::min(static_cast<double>(start.high) - width, limit - width), -limit);
        const double low = std::clamp(onGrid(static_cast<double>(start.low) + deltaHz), -limit, highest);
        result.low = static_cast<std::int64_t>(low);
    } else {
        const double lowest = std::min(std::max(static_cast<double>(start.low) + width, -limit + width), limit);
        const double high = std::clamp(onGrid(static_cast<double>(start.high) + deltaHz), lowest, limit);
        result.high = static_cast<std::int64_t>(high);
    }
    return result;
}
