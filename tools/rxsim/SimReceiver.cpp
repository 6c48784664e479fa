#include "SimReceiver.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr double twoPi = 2 * std::numbers::pi;
constexpr double nyquist = SimReceiver::sampleRate / 2.0;
// The widest passband edge a 12 kHz audio stream can carry.
constexpr double maxEdgeHz = nyquist - 100;
// The AGC aims at this RMS output level.
constexpr double agcTargetRms = 0.2;
// Tones closer to DC than this are removed by the audio coupling.
constexpr double minAudioHz = 20;

bool isAM(Mode mode)
{
    return mode == Mode::am || mode == Mode::amn || mode == Mode::amw
        || mode == Mode::sam;
}

bool isFM(Mode mode)
{
    return mode == Mode::nbfm || mode == Mode::wfm;
}

double milliwatts(double dbm)
{
    return std::pow(10.0, dbm / 10.0);
}

} // namespace

double SimReceiver::Biquad::process(double x)
{
    const double y = b0 * x + z1;
    z1 = b1 * x - a1 * y + z2;
    z2 = b2 * x - a2 * y;
    return y;
}

SimReceiver::SimReceiver(const SimBand& band, std::uint32_t seed)
    : band_(band)
    , noiseState_(seed == 0 ? 1 : seed)
{
    updateFilters();
}

void SimReceiver::setTuning(const SimTuning& tuning)
{
    SimTuning t = tuning;
    if (!std::isfinite(t.carrierHz))
        t.carrierHz = tuning_.carrierHz;
    if (!std::isfinite(t.lowHz) || !std::isfinite(t.highHz)) {
        t.lowHz = tuning_.lowHz;
        t.highHz = tuning_.highHz;
    }
    t.lowHz = std::clamp(t.lowHz, -maxEdgeHz, maxEdgeHz);
    t.highHz = std::clamp(t.highHz, -maxEdgeHz, maxEdgeHz);
    if (t.highHz < t.lowHz)
        std::swap(t.lowHz, t.highHz);
    if (t.highHz - t.lowHz < 10)
        t.highHz = t.lowHz + 10;
    tuning_ = t;
    updateFilters();
}

void SimReceiver::setGain(const SimGain& gain)
{
    SimGain g = gain;
    g.manualGainDb = std::isfinite(g.manualGainDb) ? std::clamp(g.manualGainDb, 0.0, 120.0) : 50.0;
    g.thresholdDbm = std::isfinite(g.thresholdDbm) ? std::clamp(g.thresholdDbm, -150.0, 0.0) : -100.0;
    g.decayMs = std::isfinite(g.decayMs) ? std::clamp(g.decayMs, 10.0, 60000.0) : 1000.0;
    gain_ = g;
}

// The audio range the passband maps onto: |low|..|high| for a sideband, and
// 0..the wider edge when it straddles the carrier.
void SimReceiver::updateFilters()
{
    double lowAudio = 0;
    double highAudio = std::max(std::abs(tuning_.lowHz), std::abs(tuning_.highHz));
    if (tuning_.lowHz > 0 || tuning_.highHz < 0)
        lowAudio = std::min(std::abs(tuning_.lowHz), std::abs(tuning_.highHz));

    const auto design = [](Biquad& q, double cornerHz, bool high) {
        // Butterworth second-order sections (Q = 1/sqrt 2).
        const double w = twoPi * cornerHz / SimReceiver::sampleRate;
        const double alpha = std::sin(w) / std::numbers::sqrt2;
        const double cosw = std::cos(w);
        const double a0 = 1 + alpha;
        const double b1 = high ? -(1 + cosw) : 1 - cosw;
        q.b0 = (high ? (1 + cosw) / 2 : (1 - cosw) / 2) / a0;
        q.b1 = b1 / a0;
        q.b2 = q.b0;
        q.a1 = -2 * cosw / a0;
        q.a2 = (1 - alpha) / a0;
    };
    highPass_ = {};
    lowPass_ = {};
    if (lowAudio > minAudioHz)
        design(highPass_, lowAudio, true);
    if (highAudio < maxEdgeHz)
        design(lowPass_, highAudio, false);
    // White noise of unit power keeps the fraction of its power that falls
    // into the audio range.
    const double passedFraction = std::max(highAudio - lowAudio, 10.0) / nyquist;
    noiseGain_ = 1.0 / std::sqrt(passedFraction);
}

double SimReceiver::gaussianNoise()
{
    // Sum of four uniforms: close enough to Gaussian, unit variance.
    double sum = 0;
    for (int i = 0; i < 4; ++i)
        sum += uniformNoise(noiseState_);
    return (sum - 2.0) * std::sqrt(3.0);
}

// The tone a line becomes, or 0 when the demodulator makes nothing of it.
double SimReceiver::audioFrequency(const SimLine& line) const
{
    const double offset = line.frequencyHz - tuning_.carrierHz;
    if (offset < tuning_.lowHz || offset > tuning_.highHz)
        return 0;
    if (isFM(tuning_.mode))
        return 0;
    double audio = std::abs(offset);
    if (isAM(tuning_.mode)) {
        const SimStation& station = band_.stations()[line.station];
        if (station.kind == SimStationKind::amBroadcast) {
            if (line.isCarrier)
                return 0;
            // An envelope detector hears the modulation, wherever the carrier
            // sits in the passband, as long as the carrier is there.
            const double carrierOffset = station.frequencyHz - tuning_.carrierHz;
            if (carrierOffset < tuning_.lowHz || carrierOffset > tuning_.highHz)
                return 0;
            audio = std::abs(line.frequencyHz - station.frequencyHz);
        }
    }
    return audio >= minAudioHz && audio < nyquist ? audio : 0;
}

void SimReceiver::render(double t0, std::span<float> out)
{
    if (out.empty())
        return;
    if (!std::isfinite(t0) || t0 < 0)
        t0 = 0;

    // Every line in the passband counts for the S-meter; those the
    // demodulator turns into a tone are also heard.
    struct InPassband {
        const SimLine* line;
        double audioHz;
        double amplitude;
    };
    std::vector<InPassband> lines;
    double carriersMw = 0;
    for (const SimLine& line : band_.lines()) {
        const double offset = line.frequencyHz - tuning_.carrierHz;
        if (offset < tuning_.lowHz || offset > tuning_.highHz)
            continue;
        if (line.isCarrier)
            carriersMw += milliwatts(line.powerDbm);
        lines.push_back({&line, audioFrequency(line), std::sqrt(milliwatts(line.powerDbm))});
    }

    const double bandwidthHz = tuning_.highHz - tuning_.lowHz;
    const double noiseMw = milliwatts(SimBand::noiseDensityDbmPerHz) * bandwidthHz;
    // FM: a carrier in the passband quietens the hiss.
    const double fmQuieting = isFM(tuning_.mode) && carriersMw > noiseMw ? 0.1 : 1.0;
    const double noiseAmplitude = std::sqrt(noiseMw) * fmQuieting;

    double passbandEnergy = 0;
    double audioEnergy = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = t0 + static_cast<double>(i) / sampleRate;
        double sample = lowPass_.process(highPass_.process(gaussianNoise())) * noiseGain_
            * noiseAmplitude;
        double power = noiseMw;
        for (const InPassband& p : lines) {
            const double amplitude = p.amplitude * band_.envelope(*p.line, t);
            power += amplitude * amplitude;
            if (p.audioHz <= 0)
                continue;
            // Phase from absolute time keeps both sidebands of an AM station
            // in step, so they add up like a real envelope detector's output.
            sample += amplitude * std::numbers::sqrt2
                * std::sin(twoPi * std::fmod(p.audioHz * t, 1.0));
        }
        out[i] = static_cast<float>(sample);
        passbandEnergy += power;
        audioEnergy += sample * sample;
    }
    signalDbm_ = 10 * std::log10(passbandEnergy / static_cast<double>(out.size()));

    double targetGain = 0;
    if (gain_.agc) {
        const double rms = std::sqrt(audioEnergy / static_cast<double>(out.size()));
        const double maxGain = agcTargetRms / std::sqrt(milliwatts(gain_.thresholdDbm));
        targetGain = rms > 0 ? std::min(agcTargetRms / rms, maxGain) : maxGain;
    } else {
        targetGain = std::pow(10.0, gain_.manualGainDb / 20.0);
    }
    // Attack at once; recover by at most 20 dB per decay time.
    const double frameMs = 1000.0 * static_cast<double>(out.size()) / sampleRate;
    double endGain = targetGain;
    if (gain_.agc && currentGain_ > 0 && targetGain > currentGain_)
        endGain = std::min(targetGain, currentGain_ * std::pow(10.0, frameMs / gain_.decayMs));
    double startGain = currentGain_ > 0 ? currentGain_ : endGain;
    if (endGain < startGain)
        startGain = endGain;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double fraction = static_cast<double>(i + 1) / static_cast<double>(out.size());
        const double g = startGain + (endGain - startGain) * fraction;
        out[i] = static_cast<float>(std::clamp(out[i] * g, -1.0, 1.0));
    }
    currentGain_ = endGain;
}
