#include "display/WheelTuning.h"

#include <cmath>

double wheelTunedFrequencyKHz(double currentKHz, double stepKHz, int notches)
{
    if (!(stepKHz > 0))
        return currentKHz;
    const double position = currentKHz / stepKHz;
    const double nearest = std::round(position);
    // Frequencies typed to 10 Hz are on a 10 Hz grid within rounding error.
    const bool onGrid = std::abs(position - nearest) < 1e-6;
    const double start = onGrid ? nearest : (notches > 0 ? std::floor(position) : std::ceil(position));
    const double perKHz = stepKHz < 0.01 ? 1000 : 100;
    return std::round((start + notches) * stepKHz * perKHz) / perKHz;
}

int WheelNotches::add(int angleDelta)
{
    m_rest += angleDelta;
    const std::int64_t notches = m_rest / perNotch;
    m_rest -= notches * perNotch;
    // One event never turns more than an int of notches: its delta is an int.
    return static_cast<int>(notches);
}
