#include "model/ListeningSettings.h"

#include <algorithm>
#include <cmath>

double clampedToRange(double value, ListeningSettings::Range range)
{
    if (!std::isfinite(value))
        return range.standard;
    return std::clamp(value, range.low, range.high);
}

ListeningSettings ListeningSettings::clamped() const
{
    ListeningSettings result = *this;
    result.squelchLevelDb = clampedToRange(squelchLevelDb, squelchLevelRange);
    result.noiseReductionDb = clampedToRange(noiseReductionDb, noiseReductionRange);
    result.notchHz = clampedToRange(notchHz, notchRange);
    result.notchWidthHz = clampedToRange(notchWidthHz, notchWidthRange);
    result.blankerThresholdDb = clampedToRange(blankerThresholdDb, blankerThresholdRange);
    return result;
}

std::optional<double> audioFrequencyOfLine(double lineHz, double tunedHz, Mode mode)
{
    if (!std::isfinite(lineHz) || !std::isfinite(tunedHz))
        return std::nullopt;
    switch (mode) {
    case Mode::usb:
        return lineHz - tunedHz;
    case Mode::lsb:
        return tunedHz - lineHz;
    case Mode::cw:
    case Mode::cwn:
        return lineHz - (tunedHz - carrierOffsetHz(mode));
    case Mode::am:
    case Mode::amn:
    case Mode::amw:
    case Mode::sam:
        return std::abs(lineHz - tunedHz);
    case Mode::nbfm:
    case Mode::wfm:
        return std::nullopt;
    }
    return std::nullopt;
}
