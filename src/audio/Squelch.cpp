#include "audio/Squelch.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double rampSeconds = 0.005;
// Quieter than any receiver's noise: digital silence, which says nothing
// about the floor.
constexpr double silenceDb = -120;
constexpr std::size_t windowsToOpen = 2;

} // namespace

void Squelch::setSampleRate(double rate)
{
    windowSamples = std::size_t(std::max(1.0, windowSeconds * rate));
    const double window = double(windowSamples) / std::max(rate, 1.0);
    hangWindows = std::size_t(std::lround(hangSeconds / window));
    windowsPerPart = std::max<std::size_t>(1, std::size_t(std::lround(memorySeconds / memoryParts / window)));
    gainStep = float(1.0 / std::max(1.0, rampSeconds * rate));
    reset();
}

void Squelch::reset()
{
    sum = 0;
    count = 0;
    partsFilled = 0;
    partIndex = 0;
    currentMinimum = std::numeric_limits<double>::infinity();
    windowsInPart = 0;
    aboveInRow = 0;
    quietWindows = 0;
    open = false;
    gain = 1.0f;
}

void Squelch::process(std::span<float> samples, bool enabled)
{
    // Up to the end of each window at a time: the window's sum, then the
    // gate, sample by sample only while it moves.
    while (!samples.empty()) {
        const std::size_t n = enabled ? std::min(samples.size(), windowSamples - count) : samples.size();
        const std::span<float> part = samples.first(n);
        if (enabled) {
            double sums[4] = {};
            std::size_t i = 0;
            for (; i + 4 <= n; i += 4) {
                for (std::size_t k = 0; k < 4; ++k)
                    sums[k] += double(part[i + k]) * part[i + k];
            }
            for (; i < n; ++i)
                sums[0] += double(part[i]) * part[i];
            sum += sums[0] + sums[1] + sums[2] + sums[3];
            count += n;
        }
        const float target = !enabled || open ? 1.0f : 0.0f;
        if (gain == target) {
            if (gain != 1.0f) {
                for (float& sample : part)
                    sample *= gain;
            }
        } else {
            for (float& sample : part) {
                gain = gain < target ? std::min(target, gain + gainStep) : std::max(target, gain - gainStep);
                sample *= gain;
            }
        }
        if (enabled && count == windowSamples)
            windowEnded();
        samples = samples.subspan(n);
    }
    if (!enabled) {
        const float kept = gain;
        reset();
        gain = kept;
    }
}

void Squelch::windowEnded()
{
    const double powerDb = 10 * std::log10(std::max(sum / double(count), 1e-30));
    sum = 0;
    count = 0;
    if (powerDb < silenceDb)
        return;
    currentMinimum = std::min(currentMinimum, powerDb);
    double floor = currentMinimum;
    for (std::size_t i = 0; i < partsFilled; ++i)
        floor = std::min(floor, partMinima[i]);
    if (++windowsInPart == windowsPerPart) {
        partMinima[partIndex] = currentMinimum;
        partIndex = (partIndex + 1) % memoryParts;
        partsFilled = std::min(partsFilled + 1, memoryParts);
        currentMinimum = std::numeric_limits<double>::infinity();
        windowsInPart = 0;
    }

    const bool above = powerDb > floor + levelDb;
    aboveInRow = above ? aboveInRow + 1 : 0;
    if (open) {
        if (above)
            quietWindows = 0;
        else if (++quietWindows >= hangWindows)
            open = false;
    } else if (aboveInRow >= windowsToOpen) {
        open = true;
        quietWindows = 0;
    }
}
