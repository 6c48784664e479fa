#include "SimBand.h"

#include <array>
#include <cmath>
#include <numbers>
#include <string_view>

namespace {

constexpr double twoPi = 2 * std::numbers::pi;

// 20 words per minute; a dot is 60 ms.
constexpr double dotSeconds = 0.06;
// Edges of the keyed carrier are ramped so that they do not click.
constexpr double keyRampSeconds = 0.005;

constexpr std::string_view cwMessage = "CQ CQ DE FARLISTEN TEST K";

// Voice tones of the sideband station, Hz below its suppressed carrier, with
// their level relative to the loudest.
constexpr std::array<std::pair<double, double>, 5> voiceTones{{
    {420, 0.0}, {730, -3.0}, {1150, -6.0}, {1720, -10.0}, {2380, -14.0}}};

// A phrase of speech every 4 s: 3 s of syllables, then a pause.
constexpr double phraseSeconds = 4.0;
constexpr double phraseSpeakingSeconds = 3.0;
constexpr double syllablesPerSecond = 3.7;

constexpr double amModulationDepth = 0.8;

const char* morse(char c)
{
    switch (c) {
    case 'A': return ".-";
    case 'C': return "-.-.";
    case 'D': return "-..";
    case 'E': return ".";
    case 'F': return "..-.";
    case 'I': return "..";
    case 'K': return "-.-";
    case 'L': return ".-..";
    case 'N': return "-.";
    case 'Q': return "--.-";
    case 'R': return ".-.";
    case 'S': return "...";
    case 'T': return "-";
    default: return "";
    }
}

std::vector<bool> keyingPattern(std::string_view message)
{
    std::vector<bool> units;
    for (char c : message) {
        if (c == ' ') {
            // A word gap is 7 units; the letter gap before it gave 3.
            units.insert(units.end(), 4, false);
            continue;
        }
        for (const char* symbol = morse(c); *symbol; ++symbol) {
            units.insert(units.end(), *symbol == '-' ? 3 : 1, true);
            units.push_back(false);
        }
        units.insert(units.end(), 2, false);
    }
    units.insert(units.end(), 14, false);
    return units;
}

double dbmToMilliwatts(double dbm)
{
    return std::pow(10.0, dbm / 10.0);
}

} // namespace

std::uint32_t nextNoise(std::uint32_t& state)
{
    if (state == 0)
        state = 0x9e3779b9u;
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

double uniformNoise(std::uint32_t& state)
{
    return nextNoise(state) * (1.0 / 4294967296.0);
}

SimBand::SimBand()
    : keying_(keyingPattern(cwMessage))
{
    addStation({SimStationKind::keyedCarrier, 7'030'000, -73, 0});
    addStation({SimStationKind::voiceLSB, 7'200'000, -80, 0});
    addStation({SimStationKind::amBroadcast, 9'500'000, -60, 400});
    addStation({SimStationKind::amBroadcast, 6'070'000, -78, 1000});
    addStation({SimStationKind::amBroadcast, 15'400'000, -85, 700});
}

const SimBand& SimBand::standard()
{
    static const SimBand band;
    return band;
}

void SimBand::addStation(const SimStation& station)
{
    const std::size_t index = stations_.size();
    stations_.push_back(station);
    switch (station.kind) {
    case SimStationKind::keyedCarrier:
        lines_.push_back({station.frequencyHz, station.powerDbm, index, false, 0});
        break;
    case SimStationKind::amBroadcast: {
        const double sidebandDbm = station.powerDbm + 20 * std::log10(amModulationDepth / 2);
        lines_.push_back({station.frequencyHz, station.powerDbm, index, true, 0});
        lines_.push_back({station.frequencyHz - station.toneHz, sidebandDbm, index, false, 0});
        lines_.push_back({station.frequencyHz + station.toneHz, sidebandDbm, index, false, 0});
        break;
    }
    case SimStationKind::voiceLSB: {
        double phase = 0;
        for (const auto& [toneHz, relativeDb] : voiceTones) {
            lines_.push_back({station.frequencyHz - toneHz, station.powerDbm + relativeDb, index,
                              false, phase});
            phase += 1.3;
        }
        break;
    }
    }
}

double SimBand::keyingEnvelope(double t) const
{
    const double units = t / dotSeconds;
    const double whole = std::floor(units);
    const std::size_t n = keying_.size();
    const auto unit = static_cast<std::size_t>(std::fmod(whole, static_cast<double>(n)));
    const double now = keying_[unit] ? 1.0 : 0.0;
    const double before = keying_[(unit + n - 1) % n] ? 1.0 : 0.0;
    const double intoUnit = (units - whole) * dotSeconds;
    if (intoUnit >= keyRampSeconds || now == before)
        return now;
    return before + (now - before) * (intoUnit / keyRampSeconds);
}

double SimBand::envelope(const SimLine& line, double t) const
{
    if (!std::isfinite(t) || t < 0)
        t = 0;
    switch (stations_[line.station].kind) {
    case SimStationKind::keyedCarrier:
        return keyingEnvelope(t);
    case SimStationKind::amBroadcast:
        return 1.0;
    case SimStationKind::voiceLSB: {
        const double intoPhrase = std::fmod(t, phraseSeconds);
        if (intoPhrase >= phraseSpeakingSeconds)
            return 0.0;
        const double syllable = 0.5 - 0.5 * std::cos(twoPi * syllablesPerSecond * t + line.envelopePhase);
        return syllable * syllable;
    }
    }
    return 0.0;
}

void SimBand::levels(double startHz, double binHz, double t, std::uint32_t& noiseState,
                     std::span<float> out) const
{
    if (out.empty())
        return;
    const double noiseMw = dbmToMilliwatts(noiseFloorDb);
    std::vector<double> milliwatts(out.size());
    for (double& mw : milliwatts) {
        // About +-3 dB of jitter, like the grain of a real waterfall.
        const double jitterDb = 3.0 * (uniformNoise(noiseState) + uniformNoise(noiseState) - 1.0);
        mw = noiseMw * std::pow(10.0, jitterDb / 10.0);
    }
    if (std::isfinite(startHz) && std::isfinite(binHz) && binHz > 0) {
        for (const SimLine& line : lines_) {
            const double position = (line.frequencyHz - startHz) / binHz;
            if (!(position >= 0 && position < static_cast<double>(out.size())))
                continue;
            const double amplitude = envelope(line, t);
            milliwatts[static_cast<std::size_t>(position)] +=
                dbmToMilliwatts(line.powerDbm) * amplitude * amplitude;
        }
    }
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<float>(10.0 * std::log10(milliwatts[i]));
}
