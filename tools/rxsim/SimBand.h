#pragma once
// A believable 0-30 MHz shortwave band: a noise floor near -110 dB and a few
// stations, each made of steady spectral lines whose strength follows the
// station's envelope (Morse keying, speech syllables). Everything is computed
// analytically, so waterfall rows and audio stay cheap enough to run under
// AddressSanitizer in tests. Shared by every protocol rxsim speaks.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

enum class SimStationKind { keyedCarrier, amBroadcast, voiceLSB };

struct SimStation {
    SimStationKind kind = SimStationKind::keyedCarrier;
    // The carrier (or, for a sideband voice, the suppressed carrier).
    double frequencyHz = 0;
    // Carrier power, or the peak power of each voice tone, in dBm.
    double powerDbm = 0;
    // The modulation tone of an AM broadcast.
    double toneHz = 0;
};

// One steady sine of a station, heard and drawn wherever it falls.
struct SimLine {
    double frequencyHz = 0;
    double powerDbm = 0;
    std::size_t station = 0;
    // The carrier of an AM station: an envelope detector turns it into DC.
    bool isCarrier = false;
    // Offsets the syllable rhythm of one voice tone against the others.
    double envelopePhase = 0;
};

class SimBand {
public:
    static constexpr double bandwidthHz = 30'000'000;
    // The waterfall's noise floor, whatever the bin width.
    static constexpr double noiseFloorDb = -110;
    // Receiver noise: -110 dBm in a 10 kHz passband.
    static constexpr double noiseDensityDbmPerHz = -150;

    SimBand();

    // The stations documented in README.md.
    static const SimBand& standard();

    const std::vector<SimStation>& stations() const { return stations_; }
    const std::vector<SimLine>& lines() const { return lines_; }

    // Amplitude factor 0..1 of a line at band time t seconds.
    double envelope(const SimLine& line, double t) const;

    // Levels in dB of out.size() bins, the first starting at startHz, each
    // binHz wide, at band time t; `noiseState` drives the noise jitter.
    void levels(double startHz, double binHz, double t, std::uint32_t& noiseState,
                std::span<float> out) const;

private:
    void addStation(const SimStation& station);
    double keyingEnvelope(double t) const;

    std::vector<SimStation> stations_;
    std::vector<SimLine> lines_;
    // Morse keying as on/off dot units, repeated forever.
    std::vector<bool> keying_;
};

// A small fast generator for noise; xorshift32, never stuck at zero.
std::uint32_t nextNoise(std::uint32_t& state);
// Uniform in [0, 1).
double uniformNoise(std::uint32_t& state);
