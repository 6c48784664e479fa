// Throughput of KiwiSDR audio decoding, in decoded samples per second.

#include "kiwisdr/KiwiADPCMDecoder.h"
#include "kiwisdr/KiwiSoundPipeline.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr std::size_t frameBytes = 1024;

std::vector<std::uint8_t> noiseFrame()
{
    std::mt19937 generator(7);
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<std::uint8_t> bytes(frameBytes);
    for (auto& value : bytes)
        value = static_cast<std::uint8_t>(byte(generator));
    return bytes;
}

class DiscardingSink : public SoundSink {
public:
    std::optional<AudioOutputError> start(double) override { return std::nullopt; }
    void enqueue(std::span<const float> samples) override
    {
        benchmark::DoNotOptimize(samples.data());
    }
};

void BM_KiwiADPCMDecodeBlock(benchmark::State& state)
{
    const std::vector<std::uint8_t> bytes = noiseFrame();
    KiwiADPCMDecoder decoder;
    for (auto _ : state) {
        std::vector<float> samples = decoder.decodeBlock(bytes);
        benchmark::DoNotOptimize(samples.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(2 * frameBytes));
}
BENCHMARK(BM_KiwiADPCMDecodeBlock);

void BM_KiwiSoundPipeline(benchmark::State& state)
{
    const auto flags = static_cast<std::uint8_t>(state.range(0));
    const std::vector<std::uint8_t> bytes = noiseFrame();
    KiwiSoundPipeline pipeline(std::make_shared<DiscardingSink>());
    KiwiSoundFrame frame;
    frame.flags = flags;
    frame.payload = bytes;
    for (auto _ : state)
        pipeline.processSoundFrame(frame);
    const std::int64_t samplesPerFrame = flags & KiwiSoundFrame::flagADPCM ? 2 * frameBytes : frameBytes / 2;
    state.SetItemsProcessed(state.iterations() * samplesPerFrame);
}
BENCHMARK(BM_KiwiSoundPipeline)->ArgName("flags")->Arg(KiwiSoundFrame::flagADPCM)->Arg(0);

} // namespace
