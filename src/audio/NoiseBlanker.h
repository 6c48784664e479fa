#pragma once
// Silences short impulses (ignition, power-line arcs, lightning): a sample
// far above the recent average level closes a gate at once; the gate stays
// shut for a moment after the last such sample and then opens over a short
// ramp. The average takes gated samples only up to the threshold, so a loud
// signal that simply starts raises it within milliseconds instead of being
// blanked for good.

#include <cstddef>
#include <span>

class NoiseBlanker {
public:
    void setSampleRate(double rate);
    void setThresholdDb(double db);
    void reset();
    void process(std::span<float> samples);

private:
    float threshold = 5.6f;
    float averageWeight = 0.01f;
    float average = 0.0f;
    float gain = 1.0f;
    float recoveryStep = 0.1f;
    std::size_t holdSamples = 12;
    std::size_t holdLeft = 0;
};
