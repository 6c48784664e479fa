// The listening tools' cost: the whole chain with every stage on, and with
// every stage off, at the two rates receivers send (KiwiSDR and OpenWebRX
// 12000 Hz, OpenWebRX HD 48000 Hz). "realtime" is how many times faster
// than the sound plays; the target is at least 500 with every stage on.

#include "audio/ListeningChain.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace {

constexpr std::size_t blockSamples = 2048;

void BM_ListeningChain(benchmark::State& state)
{
    const double rate = double(state.range(0));
    const bool on = state.range(1) != 0;
    ListeningChain chain;
    chain.setSampleRate(rate);
    ListeningSettings settings;
    settings.blankerOn = settings.notchOn = settings.noiseReductionOn = settings.squelchOn = on;
    chain.setSettings(settings);

    // A voice-like tone in noise with the odd impulse, so every stage works.
    std::mt19937 random(7);
    std::normal_distribution<float> noise(0.0f, 0.05f);
    std::vector<float> source(std::size_t(rate * 2));
    for (std::size_t i = 0; i < source.size(); ++i) {
        source[i] = float(0.2 * std::sin(2 * std::numbers::pi * 700 * double(i) / rate)) + noise(random);
        if (i % 997 == 0)
            source[i] += 1.0f;
    }
    std::vector<float> block(blockSamples);
    std::size_t at = 0;
    // Each block is copied from the source first, as the player copies it:
    // with every stage off the figure is that copy.
    for (auto _ : state) {
        if (at + blockSamples > source.size())
            at = 0;
        std::copy_n(source.begin() + std::ptrdiff_t(at), blockSamples, block.begin());
        at += blockSamples;
        chain.process(block);
        benchmark::DoNotOptimize(block.data());
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(blockSamples));
    state.counters["realtime"] = benchmark::Counter(double(blockSamples) / rate,
        benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ListeningChain)->ArgNames({"rate", "on"})->ArgsProduct({{12000, 48000}, {1, 0}});

} // namespace
