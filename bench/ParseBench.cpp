// How many frames per second parse handles: one sound block and one waterfall
// line of the sizes a KiwiSDR sends, a usual "MSG", and a hostile "MSG" of
// 16 MiB of bare words.
#include "kiwisdr/KiwiFrames.h"

#include <benchmark/benchmark.h>

namespace {

void BM_ParseSoundFrame(benchmark::State& state)
{
    QByteArray frame = "SND" + QByteArray(7, '\x10');
    frame.append(QByteArray(1024 - frame.size(), '\x5A'));
    for (auto _ : state)
        benchmark::DoNotOptimize(parse(frame));
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * frame.size());
}
BENCHMARK(BM_ParseSoundFrame);

void BM_ParseWaterfallFrame(benchmark::State& state)
{
    QByteArray frame = "W/F" + QByteArray(13, '\x01');
    frame.append(QByteArray(1024, '\x80'));
    for (auto _ : state)
        benchmark::DoNotOptimize(parse(frame));
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * frame.size());
}
BENCHMARK(BM_ParseWaterfallFrame);

void BM_ParseUsualMessage(benchmark::State& state)
{
    const QByteArray message = "MSG audio_init=0 audio_rate=12000 sample_rate=12000.000 rx_chans=4 rx_chan=1";
    for (auto _ : state)
        benchmark::DoNotOptimize(parse(message));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ParseUsualMessage);

void BM_ParseParameterFlood(benchmark::State& state)
{
    const QByteArray message = "MSG " + QByteArray("a ").repeated(8 * 1024 * 1024 - 4);
    for (auto _ : state)
        benchmark::DoNotOptimize(parse(message));
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * message.size());
}
BENCHMARK(BM_ParseParameterFlood)->Unit(benchmark::kMillisecond);

} // namespace
