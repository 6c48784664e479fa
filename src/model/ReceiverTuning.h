#pragma once
// What the listener is tuned to, and the one rule that keeps a value inside a
// receiver's band.

#include "model/Mode.h"

#include <algorithm>

struct ReceiverTuning {
    double frequencyKHz = 0;
    Mode mode = Mode::lsb;
    Passband passband;
    friend bool operator==(const ReceiverTuning&, const ReceiverTuning&) = default;
};

struct ReceiverGain {
    bool agcEnabled = true;
    int manualGain = 0;
};

// Raises to the lower bound first, so that an upper bound below it wins: a
// waterfall span wider than the band starts where the band's end puts it.
inline double clampedLowFirst(double value, double low, double high)
{
    return std::min(std::max(value, low), high);
}

// A frequency in kHz moved into the band that starts at `baseHz`.
inline double frequencyInBandKHz(double frequencyKHz, double baseHz, double bandwidthHz)
{
    return clampedLowFirst(frequencyKHz, baseHz / 1000, (baseHz + bandwidthHz) / 1000);
}
