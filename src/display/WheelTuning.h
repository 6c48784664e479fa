#pragma once
// The mouse wheel over the waterfall and the spectrum: each notch tunes by
// the mode's tuning step, landing on that step's grid.

#include <cstdint>

// The frequency `notches` steps of `stepKHz` up (down when negative): off the
// grid, the first notch goes to the next grid line in the wheel's direction.
// Rounded to 10 Hz, as the tuning keys do, or to the hertz for finer steps.
double wheelTunedFrequencyKHz(double currentKHz, double stepKHz, int notches);

// Wheel travel (120 per notch; touchpads send smaller parts) as whole notches.
class WheelNotches {
public:
    static constexpr int perNotch = 120;

    // The whole notches that travel completes, keeping the rest.
    int add(int angleDelta);
    void reset() { m_rest = 0; }

private:
    std::int64_t m_rest = 0;
};
