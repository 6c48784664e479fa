#pragma once
// The listening tools between the decoded sound and the player: noise
// blanker, notch, noise reduction and squelch, in that order. Each stage is
// off by default, is skipped while off, and fades in and out when switched.
//
// Settings are written on the GUI thread and taken once per block on the
// thread that plays (under `settingsLock`, a copy of a small struct); the
// squelch state and the stages that ran are atomics any thread may read.
// setSampleRate and process are called by the player, under its own lock;
// `audioLock` keeps them apart all the same. process never allocates;
// setSampleRate does when the rate changes, and setSettings when it switches
// the noise reduction on for the first time at a rate.

#include "audio/NoiseBlanker.h"
#include "audio/NoiseReducer.h"
#include "audio/NotchFilter.h"
#include "audio/Squelch.h"
#include "audio/StageRamp.h"
#include "model/ListeningSettings.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <span>

class ListeningChain {
public:
    enum Stage : std::uint32_t {
        blanker = 1,
        notch = 2,
        noiseReduction = 4,
        squelch = 8,
    };
    // The loudest sample a stage is given: while any stage is on, louder
    // ones are clamped and non-finite ones become silence.
    static constexpr float loudest = 4.0f;

    ListeningChain() = default;
    ListeningChain(const ListeningChain&) = delete;
    ListeningChain& operator=(const ListeningChain&) = delete;

    // Returns what is applied: the settings clamped to their ranges.
    ListeningSettings setSettings(const ListeningSettings& settings);
    ListeningSettings settings() const;

    bool isSquelchOpen() const { return squelchOpen.load(std::memory_order_relaxed); }
    // Every stage that has shaped some of the sound since the chain was made.
    std::uint32_t stagesRun() const { return ran.load(std::memory_order_relaxed); }

    // A new rate starts every stage afresh; the same rate again keeps them.
    void setSampleRate(double rate);
    void process(std::span<float> samples);

private:
    static constexpr std::size_t chunkSize = 512;

    void apply(const ListeningSettings& wanted);
    void processChunk(std::span<float> chunk);
    void runStage(std::span<float> chunk, StageRamp& ramp, Stage stage, auto&& run);

    mutable std::mutex settingsLock;
    ListeningSettings wanted;

    std::mutex audioLock;
    double rate = 0;
    ListeningSettings applied;
    NoiseBlanker noiseBlanker;
    NotchFilter notchFilter;
    NoiseReducer noiseReducer;
    Squelch squelchGate;
    StageRamp blankerRamp;
    StageRamp notchRamp;
    StageRamp reducerRamp;
    std::array<float, chunkSize> dry{};

    std::atomic<bool> squelchOpen{false};
    std::atomic<std::uint32_t> ran{0};
};
