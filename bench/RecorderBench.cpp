// A recording's costs. The tap: what the network thread pays per block for
// handing it to the recorder (a copy into the queue), which must stay far
// below the ~40 ms a block lasts. The writer: a minute of sound written as
// the writer thread writes it (a batch every 100 ms of sound, the WAV header
// after each, fdatasync every 500 ms), as "realtime", how many times faster
// than the sound plays; the target is at least 100.

#include "audio/SoundFileWriter.h"
#include "audio/SoundRecorder.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fcntl.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

std::vector<float> tone(double rate, std::size_t frames)
{
    std::vector<float> samples(frames);
    for (std::size_t i = 0; i < frames; ++i)
        samples[i] = float(0.3 * std::sin(2 * std::numbers::pi * 700 * double(i) / rate));
    return samples;
}

void BM_RecorderTap(benchmark::State& state)
{
    constexpr double rate = 48000;
    constexpr std::size_t blocks = 200; // about 2 s, well inside the queue's bound
    const std::vector<float> block = tone(rate, std::size_t(state.range(0)));
    QTemporaryDir dir;
    for (auto _ : state) {
        state.PauseTiming();
        auto created = SoundRecorder::createAt(dir.filePath("tap.wav"), RecordingFormat::wav);
        const auto recorder = std::get<std::shared_ptr<SoundRecorder>>(created);
        state.ResumeTiming();
        for (std::size_t i = 0; i < blocks; ++i)
            recorder->played(block, rate);
        state.PauseTiming();
        if (recorder->finish().error)
            state.SkipWithError("the recording stopped");
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(blocks));
}
BENCHMARK(BM_RecorderTap)->ArgName("samples")->Arg(512)->Arg(2048);

void BM_RecordingWriter(benchmark::State& state)
{
    const double rate = double(state.range(0));
    const auto format = state.range(1) ? RecordingFormat::flac : RecordingFormat::wav;
    const std::vector<float> batch = tone(rate, std::size_t(rate / 10));
    constexpr int batches = 600; // a minute of sound
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.filePath("writer.rec"));
    for (auto _ : state) {
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        auto opened = SoundFileWriter::open(fd, int(rate), format);
        const auto writer = std::move(std::get<std::unique_ptr<SoundFileWriter>>(opened));
        for (int i = 0; i < batches; ++i) {
            bool failed = writer->write(batch) || writer->updateHeader();
            if (i % 5 == 4)
                failed = failed || writer->sync();
            if (failed)
                state.SkipWithError("a write failed");
        }
        writer->close();
    }
    state.counters["realtime"] = benchmark::Counter(batches / 10.0, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_RecordingWriter)
    ->ArgNames({"rate", "flac"})
    ->ArgsProduct({{12000, 48000}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
