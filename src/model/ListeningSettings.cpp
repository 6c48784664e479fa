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

std::optional<double> audioFrequencyOfLine(double lineHz, double tunedHz, KiwiMode mode)
{
    if (!std::isfinite(lineHz) || !std::isfinite(tunedHz))
        return std::nullopt;
    switch (mode) {
    case KiwiMode::usb:
        return lineHz - tunedHz;
    case KiwiMode::lsb:
        return tunedHz - lineHz;
    case KiwiMode::cw:
    case KiwiMode::cwn:
        return lineHz - (tunedHz - carrierOffsetHz(mode));
    case KiwiMode::am:
    case KiwiMode::amn:
    case KiwiMode::amw:
    case KiwiMode::sam:
        return std::abs(lineHz - tunedHz);
    case KiwiMode::nbfm:
    case KiwiMode::wfm:
        return std::nullopt;
    }
    return std::nullopt;
}
