#pragma once
// One listener's receiver on the simulated band: demodulates what falls into
// the tuned passband into 12 kHz audio, with AGC or manual gain, and measures
// the signal strength there for the S-meter. Not a real DSP chain: each
// spectral line of the band is turned straight into the tone a demodulator
// would make of it, over band-limited noise.

#include "SimBand.h"
#include "model/Mode.h"

#include <cstdint>
#include <span>

struct SimTuning {
    Mode mode = Mode::am;
    // Passband edges relative to the carrier, Hz; low < high.
    double lowHz = -4900;
    double highHz = 4900;
    double carrierHz = 10'000'000;
};

struct SimGain {
    bool agc = true;
    // Manual gain in dB, 0..120.
    double manualGainDb = 50;
    // AGC threshold in dBm: weaker signals get no more gain than this one.
    double thresholdDbm = -100;
    // How fast the AGC lets the gain rise again, ms.
    double decayMs = 1000;
};

class SimReceiver {
public:
    static constexpr int sampleRate = 12000;

    SimReceiver(const SimBand& band, std::uint32_t seed);

    // Values are clamped into what a 12 kHz receiver can do.
    void setTuning(const SimTuning& tuning);
    void setGain(const SimGain& gain);

    // Fills `out` with audio (-1..1) for band time t0 onwards, one sample per
    // 1/sampleRate s, continuing the noise filters of the previous call.
    void render(double t0, std::span<float> out);

    // Noise plus signal in the passband over the last render, dBm.
    double signalDbm() const { return signalDbm_; }

private:
    struct Biquad {
        double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
        double z1 = 0, z2 = 0;
        double process(double x);
    };

    double audioFrequency(const SimLine& line) const;
    void updateFilters();
    double gaussianNoise();

    const SimBand& band_;
    SimTuning tuning_;
    SimGain gain_;
    std::uint32_t noiseState_;
    Biquad highPass_;
    Biquad lowPass_;
    // Amplitude correction of the filtered noise back to unit power.
    double noiseGain_ = 1;
    double currentGain_ = 0;
    double signalDbm_ = -127;
};
