#pragma once
// The tuning step of each mode: how far the arrow keys and the wheel move the
// frequency. A listener picks one of a few round steps; each mode keeps its
// own, starting from one that suits it (a broadcast AM station sits on a
// 5 kHz raster, an SSB voice is found in 100 Hz steps).

#include "model/Mode.h"

#include <array>

// The steps offered, in Hz.
inline constexpr std::array<int, 10> tuningStepChoicesHz{1, 10, 50, 100, 500, 1000, 5000, 9000, 10000, 100000};

// AM, AM narrow and wide, SAM and NBFM 5 kHz; LSB and USB 100 Hz; CW 50 Hz;
// CW narrow 10 Hz; WFM 100 kHz.
int defaultTuningStepHz(Mode mode);
// A stored step: one of the choices, else the mode's default.
int validTuningStepHz(int hz, Mode mode);
