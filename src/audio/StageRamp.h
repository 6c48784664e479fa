#pragma once
// How much of a stage's output is heard, moved one step per sample toward on
// (1) or off (0) so that switching a stage never clicks.

#include <algorithm>
#include <cstddef>
#include <span>

class StageRamp {
public:
    void setLength(std::size_t samples) { step = 1.0f / float(std::max<std::size_t>(samples, 1)); }
    void setTarget(bool on) { target = on ? 1.0f : 0.0f; }
    void jumpToTarget() { value = target; }

    // Off and nothing left to fade: the stage can be skipped.
    bool isIdle() const { return value == 0.0f && target == 0.0f; }
    // On and fully faded in: the stage's output is the output.
    bool isFull() const { return value == 1.0f && target == 1.0f; }

    // wet = dry + share * (wet - dry), sample by sample.
    void mix(std::span<const float> dry, std::span<float> wet)
    {
        for (std::size_t i = 0; i < wet.size(); ++i) {
            value = value < target ? std::min(target, value + step) : std::max(target, value - step);
            wet[i] = dry[i] + value * (wet[i] - dry[i]);
        }
    }

private:
    float value = 0.0f;
    float target = 0.0f;
    float step = 1.0f;
};
