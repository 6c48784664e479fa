#pragma once
// Where a click on the waterfall or the spectrum lands: on the strongest line
// near the pointer when one stands clearly out of the noise, else where it
// was made, either on the mode's grid; with Alt exactly where it was made.

#include "model/Mode.h"

#include <optional>
#include <vector>

struct ClickSnap {
    // How far from the pointer a line is taken, and by how much it must rise
    // above the floor around it.
    static constexpr double reachPoints = 4;
    static constexpr double minimumRiseDB = 10;
    // The floor is the median level this far to either side of the pointer.
    static constexpr double floorReachPoints = 32;
};

// The spectrum as drawn: `values` (dB) from `startHz` over `spanHz`, value i
// at i / (n - 1) of the span.
struct SpectrumLine {
    const std::vector<double>& values;
    double startHz = 0;
    double spanHz = 0;
};

// The frequency in Hz of the strongest line within reach of `clickHz` on a
// strip `width` points wide, found between the values around it; none when no
// value there stands minimumRiseDB above the floor.
std::optional<double> strongestLineHz(const SpectrumLine& spectrum, double clickHz, double width);

// The frequency in kHz a click at `clickHz` tunes to: the line on the mode's
// grid (an AM station in a broadcast band of the ITU `region` on its channel
// raster), else the click on the mode's grid; `exact` keeps the click's own
// frequency to the hertz.
std::optional<double> snappedClickKHz(const SpectrumLine& spectrum, double clickHz, double width, Mode mode,
    bool exact, int region = 1);
