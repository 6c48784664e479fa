// How many frames per second parse handles: one sound block and one waterfall
// line of the sizes a KiwiSDR sends.
#include "model/KiwiFrames.h"

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

} // namespace
