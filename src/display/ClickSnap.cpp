#include "display/ClickSnap.h"

#include "display/BandPlan.h"
#include "display/WaterfallPan.h"

#include <algorithm>
#include <cmath>

std::optional<double> strongestLineHz(const SpectrumLine& spectrum, double clickHz, double width)
{
    const auto n = std::ptrdiff_t(spectrum.values.size());
    if (n < 3 || !(width > 0) || !(spectrum.spanHz > 0) || !std::isfinite(spectrum.spanHz) || !std::isfinite(clickHz))
        return std::nullopt;
    const double binHz = spectrum.spanHz / double(n - 1);
    const double pointHz = spectrum.spanHz / width;
    const auto binAt = [&](double hz) { return (hz - spectrum.startHz) / binHz; };
    const auto clampBin = [n](double bin) {
        return std::ptrdiff_t(std::clamp(bin, 0.0, double(n - 1)));
    };
    const double centre = binAt(clickHz);
    if (!std::isfinite(centre) || centre < -0.5 || centre > double(n) - 0.5)
        return std::nullopt;
    const double reach = ClickSnap::reachPoints * pointHz / binHz;
    const std::ptrdiff_t first = clampBin(std::ceil(centre - reach));
    const std::ptrdiff_t last = clampBin(std::floor(centre + reach));
    std::ptrdiff_t peak = clampBin(std::round(centre));
    for (std::ptrdiff_t i = first; i <= last; ++i) {
        if (spectrum.values[i] > spectrum.values[peak])
            peak = i;
    }
    // A line at the edge of the reach may be the slope of a stronger one
    // further out: only a local maximum counts.
    if ((peak > 0 && spectrum.values[peak - 1] > spectrum.values[peak])
        || (peak < n - 1 && spectrum.values[peak + 1] > spectrum.values[peak]))
        return std::nullopt;

    const double floorReach = std::max(ClickSnap::floorReachPoints * pointHz / binHz, 8.0);
    std::vector<double> around(spectrum.values.begin() + clampBin(centre - floorReach),
        spectrum.values.begin() + clampBin(centre + floorReach) + 1);
    const auto middle = around.begin() + std::ptrdiff_t(around.size() / 2);
    std::nth_element(around.begin(), middle, around.end());
    if (!(spectrum.values[peak] - *middle >= ClickSnap::minimumRiseDB))
        return std::nullopt;

    // Between bins: the top of the parabola through the peak and its neighbours.
    double offset = 0;
    if (peak > 0 && peak < n - 1) {
        const double a = spectrum.values[peak - 1];
        const double b = spectrum.values[peak];
        const double c = spectrum.values[peak + 1];
        const double curve = a - 2 * b + c;
        if (curve < 0)
            offset = std::clamp(0.5 * (a - c) / curve, -0.5, 0.5);
    }
    const double hz = spectrum.startHz + (double(peak) + offset) * binHz;
    return std::isfinite(hz) ? std::optional<double>(hz) : std::nullopt;
}

std::optional<double> snappedClickKHz(const SpectrumLine& spectrum, double clickHz, double width, Mode mode,
    bool exact, int region)
{
    if (!std::isfinite(clickHz))
        return std::nullopt;
    if (exact)
        return std::round(clickHz) / 1000;
    const std::optional<double> lineHz = strongestLineHz(spectrum, clickHz, width);
    if (!lineHz)
        return snappedToTuneStep(clickHz / 1000, mode);
    // A line found between bins is off by a fraction of a bin: a station
    // sits on its channel, a carrier on the mode's grid.
    const bool am = mode == Mode::am || mode == Mode::amn || mode == Mode::amw || mode == Mode::sam;
    if (const std::optional<double> raster = am ? broadcastRasterHz(*lineHz, region) : std::nullopt)
        return std::round(*lineHz / *raster) * *raster / 1000;
    return snappedToTuneStep(*lineHz / 1000, mode);
}
