#include "audio/NoiseBlanker.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double averageSeconds = 0.005;
constexpr double holdSeconds = 0.001;
constexpr double recoverySeconds = 0.001;
// The average never counts as quieter than this, so that after silence the
// first sound is measured against something.
constexpr float quietest = 1e-6f;

} // namespace

void NoiseBlanker::setSampleRate(double rate)
{
    averageWeight = float(1.0 / std::max(1.0, averageSeconds * rate));
    holdSamples = std::size_t(std::max(1.0, holdSeconds * rate));
    recoveryStep = float(1.0 / std::max(1.0, recoverySeconds * rate));
    reset();
}

void NoiseBlanker::setThresholdDb(double db)
{
    threshold = float(std::pow(10.0, db / 20.0));
}

void NoiseBlanker::reset()
{
    average = 0.0f;
    gain = 1.0f;
    holdLeft = 0;
}

void NoiseBlanker::process(std::span<float> samples)
{
    for (float& sample : samples) {
        const float level = std::abs(sample);
        const float limit = threshold * std::max(average, quietest);
        if (level > limit) {
            gain = 0.0f;
            holdLeft = holdSamples;
        } else if (holdLeft > 0) {
            --holdLeft;
        } else {
            gain = std::min(1.0f, gain + recoveryStep);
        }
        average += averageWeight * (std::min(level, limit) - average);
        sample *= gain;
    }
}
