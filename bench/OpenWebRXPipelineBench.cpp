// Waterfall rows per second from OpenWebRX frames of 4096 levels, compressed
// and as floats, zoomed in so that cropping is part of the work.
#include "bench/SilentAudioEngine.h"
#include "openwebrx/OpenWebRXPipeline.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

namespace {

constexpr std::size_t fftSize = 4096;

std::vector<std::uint8_t> waterfallFrame(bool compressed)
{
    std::mt19937 random(3);
    std::vector<std::uint8_t> frame{OpenWebRXPipeline::waterfallFrame};
    if (compressed) {
        for (std::size_t i = 0; i < (fftSize + 10) / 2; ++i)
            frame.push_back(static_cast<std::uint8_t>(random()));
        return frame;
    }
    std::uniform_real_distribution<float> level(-120.0f, -40.0f);
    for (std::size_t i = 0; i < fftSize; ++i) {
        const float value = level(random);
        std::uint8_t bytes[4];
        std::memcpy(bytes, &value, 4);
        frame.insert(frame.end(), bytes, bytes + 4);
    }
    return frame;
}

void BM_OpenWebRXWaterfallRows(benchmark::State& state)
{
    const bool compressed = state.range(0) != 0;
    const auto player = SilentAudioEngine::player();
    std::int64_t rows = 0;
    OpenWebRXPipeline pipeline(player, [&rows](WaterfallRow row) {
        benchmark::DoNotOptimize(row.bins.data());
        ++rows;
    });
    pipeline.applyConfig(JSONValue(JSONValue::Object{
        {QStringLiteral("fft_size"), JSONValue(double(fftSize))},
        {QStringLiteral("center_freq"), JSONValue(7100000.0)},
        {QStringLiteral("samp_rate"), JSONValue(250000.0)},
        {QStringLiteral("fft_compression"), JSONValue(QString::fromLatin1(compressed ? "adpcm" : "none"))}}));
    pipeline.setView(1, 7050000);
    const auto frame = waterfallFrame(compressed);
    for (auto _ : state)
        pipeline.processMessage(frame);
    state.SetItemsProcessed(rows);
    state.SetLabel(compressed ? "adpcm" : "float");
}
BENCHMARK(BM_OpenWebRXWaterfallRows)->Arg(1)->Arg(0);

} // namespace
