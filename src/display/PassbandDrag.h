#pragma once
// Dragging an edge of the passband on the spectrum: which edge lies under the
// pointer, and the passband that a move of that edge gives, kept within the
// mode's limits and never narrower than the narrowest filter.

#include "display/WaterfallStrip.h"
#include "model/Mode.h"

#include <optional>

enum class PassbandEdge { low, high };

struct PassbandLimits {
    // Edges stay within this far of the carrier.
    double edgeLimitHz;
    static constexpr double minimumWidthHz = 50;
    // Edges land on this grid.
    static constexpr double gridHz = 10;
};

PassbandLimits passbandLimits(Mode mode);

// The edge within `grabDistance` points of `x` in a strip `width` wide, the
// nearer one when both are; none without a positive span.
std::optional<PassbandEdge> passbandEdgeAt(double x, double width, const StripFrequencies& frequencies,
    const PassbandMarks& marks);
constexpr double grabDistance = 4;

// `start` with `edge` moved by `deltaHz`: on the grid, within the limits and
// at least the minimum width from the other edge, which stays where it is.
Passband draggedPassband(Mode mode, Passband start, PassbandEdge edge, double deltaHz);
