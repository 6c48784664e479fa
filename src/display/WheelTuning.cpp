#include "display/WheelTuning.h"

#include <cmath>

double wheelStepKHz(Mode mode)
{
    switch (mode) {
    case Mode::am:
    case Mode::amn:
    case Mode::amw:
    case Mode::sam:
    case Mode::nbfm:
        return 5;
    case Mode::lsb:
    case Mode::usb:
        return 0.1;
    case Mode::cw:
        return 0.05;
    case Mode::cwn:
        return 0.01;
    case Mode::wfm:
        return 100;
    }
    return 1;
}

double wheelTunedFrequencyKHz(double currentKHz, Mode mode, int notches)
{
    const double step = wheelStepKHz(mode);
    const double position = currentKHz / step;
    const double nearest = std::round(position);
    // Frequencies typed to 10 Hz are on a 10 Hz grid within rounding error.
    const bool onGrid = std::abs(position - nearest) < 1e-6;
    const double start = onGrid ? nearest : (notches > 0 ? std::floor(position) : std::ceil(position));
    return std::round((start + notches) * step * 100) / 100;
}

int WheelNotches::add(int angleDelta)
{
    m_rest += angleDelta;
    const std::int64_t notches = m_rest / perNotch;
    m_rest -= notches * perNotch;
    // One event never turns more than an int of notches: its delta is an int.
    return static_cast<int>(notches);
}
