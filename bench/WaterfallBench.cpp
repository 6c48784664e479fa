// The waterfall's costs per row and per repaint. A row is a one-line scroll of
// the 1024 x 300 picture plus one coloured line, so its floor is one bare
// memmove of the picture; painting is the whole panel drawn once.
#include "bench/SilentAudioEngine.h"
#include "display/WaterfallRenderer.h"
#include "display/WaterfallImageStrip.h"
#include "display/WaterfallView.h"
#include "settings/Preferences.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace {

constexpr double spanHz = 937'500;
constexpr double startHz = 6'731'250;

// A noisy row with a few strong lines, different each time.
WaterfallRow benchRow(std::uint32_t sequence, double start = startHz)
{
    WaterfallRow row;
    row.bins.resize(1024);
    std::uint32_t noise = 2463534242u + sequence;
    for (std::size_t i = 0; i < row.bins.size(); ++i) {
        noise ^= noise << 13;
        noise ^= noise >> 17;
        noise ^= noise << 5;
        row.bins[i] = static_cast<std::uint8_t>(140 + noise % 12 + (i % 97 == 0 ? 60 : 0));
    }
    row.startHz = start;
    row.spanHz = spanHz;
    row.sequence = sequence;
    return row;
}

void BM_MemmoveFloor(benchmark::State& state)
{
    constexpr std::size_t stride = 1024 * 4;
    std::vector<std::uint8_t> pixels(stride * 300, 7);
    for (auto _ : state) {
        std::memmove(pixels.data() + stride, pixels.data(), stride * 299);
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * stride * 299));
}
BENCHMARK(BM_MemmoveFloor);

// Sixteen different rows, pushed in turn.
void pushRows(benchmark::State& state, WaterfallRenderer& renderer)
{
    std::vector<WaterfallRow> rows;
    for (std::uint32_t i = 0; i < 16; ++i)
        rows.push_back(benchRow(i));
    std::size_t next = 0;
    for (auto _ : state) {
        auto image = renderer.pushRow(rows[next++ % rows.size()]);
        benchmark::DoNotOptimize(image);
    }
}

void BM_PushRow(benchmark::State& state)
{
    WaterfallRenderer renderer;
    pushRows(state, renderer);
}
BENCHMARK(BM_PushRow);

// The spectrum as a listener may set it: heavy averaging and peak hold.
void BM_PushRowAveragedWithPeakHold(benchmark::State& state)
{
    WaterfallRenderer renderer;
    renderer.setSpectrumAveraging(SpectrumAveraging::heavy);
    renderer.setPeakHold(true);
    pushRows(state, renderer);
}
BENCHMARK(BM_PushRowAveragedWithPeakHold);

// As the view does it: the last picture is still on screen when the next row
// comes, so each row builds a fresh buffer beside it.
void BM_PushRowWhileShown(benchmark::State& state)
{
    WaterfallRenderer renderer;
    std::vector<WaterfallRow> rows;
    for (std::uint32_t i = 0; i < 16; ++i)
        rows.push_back(benchRow(i));
    std::size_t next = 0;
    std::optional<QImage> shown;
    for (auto _ : state) {
        if (auto image = renderer.pushRow(rows[next++ % rows.size()]))
            shown = std::move(image);
        benchmark::DoNotOptimize(shown);
    }
}
BENCHMARK(BM_PushRowWhileShown);

// Every row starts one pixel higher: each line of the picture moves sideways.
void BM_PushRowPanning(benchmark::State& state)
{
    WaterfallRenderer renderer;
    std::uint32_t sequence = 0;
    double start = startHz;
    const WaterfallRow pattern = benchRow(0);
    for (auto _ : state) {
        WaterfallRow row = pattern;
        row.sequence = sequence++;
        row.startHz = start;
        start += spanHz / 1024;
        auto image = renderer.pushRow(row);
        benchmark::DoNotOptimize(image);
    }
}
BENCHMARK(BM_PushRowPanning);

// The whole panel, with a full picture and spectrum, drawn once.
void BM_PaintView(benchmark::State& state)
{
    // The session never connects, so its player plays nothing.
    const auto player = SilentAudioEngine::player();
    ReceiverClient client(QStringLiteral("bench"), player);
    WaterfallView view(&client, Preferences::instance());
    view.resize(1000, 460);
    view.show();
    for (std::uint32_t i = 0; i < 300; ++i) {
        client.rows().yield(benchRow(i));
        QCoreApplication::sendPostedEvents(&view, QEvent::MetaCall);
    }
    // The view hands the rows to its picture on a redraw timer; let it fire,
    // or the panel painted would be empty.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 200)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QImage target(view.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        view.render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_PaintView)->Unit(benchmark::kMillisecond);

// One new row shown by the picture strip (1000 x 460, in the middle of its
// stack as in the window): 0 repaints the whole strip from the picture, 1
// scrolls what is on screen and paints the uncovered lines.
void BM_StripNewRow(benchmark::State& state)
{
    QWidget stack;
    stack.resize(1000, 500);
    WaterfallImageStrip strip(&stack);
    strip.setGeometry(0, 20, 1000, 460);
    stack.show();
    WaterfallRenderer renderer;
    std::uint32_t sequence = 0;
    for (; sequence < 300; ++sequence)
        renderer.pushRow(benchRow(sequence));
    strip.setImage(renderer.makeImage());
    QCoreApplication::processEvents();
    const bool scrolls = state.range(0) != 0;
    for (auto _ : state) {
        renderer.pushRow(benchRow(sequence++));
        if (scrolls)
            strip.addRows(renderer.makeImage(), 1);
        else
            strip.setImage(renderer.makeImage());
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_StripNewRow)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
