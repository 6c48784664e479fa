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
    // The average moves once per group of four samples: the same time
    // constant, a quarter of the serial arithmetic.
    constexpr std::size_t group = 4;
    const float groupWeight = 1.0f - std::pow(1.0f - averageWeight, float(group));
    std::size_t i = 0;
    while (i < samples.size()) {
        const std::size_t n = std::min(group, samples.size() - i);
        const float limit = threshold * std::max(average, quietest);
        float clampedSum = 0.0f;
        for (std::size_t j = i; j < i + n; ++j) {
            const float level = std::abs(samples[j]);
            if (level > limit) {
                gain = 0.0f;
                holdLeft = holdSamples;
            } else if (holdLeft > 0) {
                --holdLeft;
            } else {
                gain = std::min(1.0f, gain + recoveryStep);
            }
            clampedSum += std::min(level, limit);
            samples[j] *= gain;
        }
        const float weight = n == group ? groupWeight : 1.0f - std::pow(1.0f - averageWeight, float(n));
        average += weight * (clampedSum / float(n) - average);
        i += n;
    }
}
