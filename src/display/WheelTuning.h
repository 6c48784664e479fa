#pragma once
// The mouse wheel over the waterfall and the spectrum: each notch tunes by a
// step that suits the mode, landing on that step's grid (a broadcast AM
// station sits on a 5 kHz raster, an SSB voice is found in 100 Hz steps).

#include "model/Mode.h"

#include <cstdint>

// kHz per wheel notch: AM, AM narrow and wide, SAM 5; LSB, USB 0.1; CW 0.05;
// CW narrow 0.01; NBFM 5; WFM 100.
double wheelStepKHz(Mode mode);

// The frequency `notches` steps up (down when negative): off the grid, the
// first notch goes to the next grid line in the wheel's direction. Rounded to
// 10 Hz, as the tuning keys do.
double wheelTunedFrequencyKHz(double currentKHz, Mode mode, int notches);

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
