// The audio player's costs: queueing one block, resampling it to follow the
// card's clock, and the CPU the sound-card engine takes to play a receiver's
// stream.
#include "audio/AudioOutputDevices.h"
#include "audio/DriftResampler.h"
#include "audio/AudioPlayer.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <numbers>
#include <thread>
#include <vector>

namespace {

// Consumes every buffer the moment it is scheduled, so the queue never fills.
class ImmediateEngine final : public AudioEngine {
public:
    bool canUseRate(double) const override { return true; }
    std::optional<AudioOutputError> start(double) override { return std::nullopt; }
    void stop() override {}
    void schedule(std::vector<float> samples, ConsumedCallback consumed) override
    {
        benchmark::DoNotOptimize(samples.data());
        consumed();
    }
    float volume() const override { return 1.0f; }
    void setVolume(float) override {}
    void setConfigurationChangeHandler(std::function<void()>) override {}
};

std::vector<float> toneBlock(std::size_t frames)
{
    std::vector<float> block(frames);
    for (std::size_t i = 0; i < frames; ++i)
        block[i] = float(0.5 * std::sin(2.0 * std::numbers::pi * 1000.0 * double(i) / 12000.0));
    return block;
}

void BM_EnqueueBlock(benchmark::State& state)
{
    const auto player = AudioPlayer::create(
        [](const std::optional<AudioDeviceID>&) { return std::make_unique<ImmediateEngine>(); },
        [] { return std::optional<AudioDeviceID>(); });
    if (player->start(12000.0)) {
        state.SkipWithError("the engine did not start");
        return;
    }
    const std::vector<float> block = toneBlock(std::size_t(state.range(0)));
    for (auto _ : state)
        player->enqueue(block);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EnqueueBlock)->Arg(512)->Arg(2048);

// Following a card 150 ppm fast (argument 1) against passing unchanged (0),
// 2048-frame blocks: the resampler's share of each block.
void BM_DriftResampler(benchmark::State& state)
{
    const std::vector<float> block = toneBlock(2048);
    const double ratio = state.range(0) ? 1.00015 : 1.0;
    DriftResampler resampler;
    resampler.reset(12000.0);
    std::vector<float> out;
    for (auto _ : state) {
        resampler.process(block, ratio, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(block.size()));
}
BENCHMARK(BM_DriftResampler)->Arg(0)->Arg(1);

double processCPUSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Ten seconds of 12000 Hz mono in 512-sample blocks at the pace a receiver
// sends them, through the sound-card engine; reports the process's CPU use.
void BM_SoundCardPlayback10s(benchmark::State& state)
{
    if (enumerateOutputDevices().isEmpty()) {
        state.SkipWithError("no sound server reachable: sound-card playback not measured");
        return;
    }
    constexpr double rate = 12000.0;
    constexpr std::size_t blockFrames = 512;
    const std::vector<float> block = toneBlock(blockFrames);
    for (auto _ : state) {
        const auto player = AudioPlayer::create();
        if (const auto error = player->start(rate)) {
            state.SkipWithError(("Audio output failed to start: " + error->description).toStdString().c_str());
            return;
        }
        const auto period = std::chrono::duration<double>(double(blockFrames) / rate);
        const auto begin = std::chrono::steady_clock::now();
        const double cpuBefore = processCPUSeconds();
        const int blocks = int(10.0 * rate / double(blockFrames));
        for (int i = 0; i < blocks; ++i) {
            std::this_thread::sleep_until(begin + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                                      period * (i + 1)));
            player->enqueue(block);
        }
        const double cpu = processCPUSeconds() - cpuBefore;
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        player->stop();
        state.counters["cpu_percent"] = 100.0 * cpu / wall;
        state.counters["cpu_ms"] = 1000.0 * cpu;
    }
}
BENCHMARK(BM_SoundCardPlayback10s)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
