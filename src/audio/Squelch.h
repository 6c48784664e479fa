#pragma once
// Mutes the sound while nothing rises above the noise. The power of every
// 10 ms window is compared with the noise floor; two windows in a row above
// floor + level open the gate (so it opens within about 30 ms), and it closes
// once no window has been above for the hang time. The gate moves over a few
// milliseconds, so neither opening nor closing clicks.
//
// The floor is the quietest window of the last ten seconds: speech and Morse
// have pauses at the noise, so it stays there while they are heard, and
// noise that grows by more than the level holds the squelch open for ten
// seconds at most (a carrier heard without a single pause for that long is
// taken for the floor too). Digital silence is no noise and is left out.

#include <array>
#include <cstddef>
#include <span>

class Squelch {
public:
    static constexpr double windowSeconds = 0.010;
    static constexpr double hangSeconds = 0.5;
    static constexpr double memorySeconds = 10;

    void setSampleRate(double rate);
    void setLevelDb(double db) { levelDb = db; }
    void reset();
    // Without `enabled` the gate only opens (over its ramp) and the noise is
    // not measured.
    void process(std::span<float> samples, bool enabled);

    bool isOpen() const { return open; }
    // Fully open: when not enabled, nothing to do.
    bool isIdle() const { return gain == 1.0f; }

private:
    static constexpr std::size_t memoryParts = 20;

    void windowEnded();

    double levelDb = 10;
    std::size_t windowSamples = 120;
    std::size_t hangWindows = 50;
    std::size_t windowsPerPart = 50;
    float gainStep = 0.01f;

    double sum = 0;
    std::size_t count = 0;
    // The quietest window of each past part of the memory, and of this one.
    std::array<double, memoryParts> partMinima{};
    std::size_t partsFilled = 0;
    std::size_t partIndex = 0;
    double currentMinimum = 0;
    std::size_t windowsInPart = 0;
    std::size_t aboveInRow = 0;
    std::size_t quietWindows = 0;
    bool open = false;
    float gain = 1.0f;
};
