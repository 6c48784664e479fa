// Decoding speed of OpenWebRX ADPCM: audio as servers send it (a state block
// before every 1001 code bytes) and plain waterfall codes.
#include "openwebrx/OpenWebRXADPCMDecoder.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

std::vector<std::uint8_t> randomCodes(std::size_t count, std::mt19937& random)
{
    std::vector<std::uint8_t> bytes(count);
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(random());
    return bytes;
}

// About one second of 48 kHz audio.
std::vector<std::uint8_t> audioStream()
{
    std::mt19937 random(1);
    std::vector<std::uint8_t> stream;
    for (int block = 0; block < 24; ++block) {
        const std::uint8_t index = static_cast<std::uint8_t>(random() % 89);
        const std::uint16_t predictor = static_cast<std::uint16_t>(random());
        const std::uint8_t header[] = {'S', 'Y', 'N', 'C', index, 0, std::uint8_t(predictor & 0xFF),
                                       std::uint8_t(predictor >> 8)};
        stream.insert(stream.end(), std::begin(header), std::end(header));
        const auto codes = randomCodes(1001, random);
        stream.insert(stream.end(), codes.begin(), codes.end());
    }
    return stream;
}

// Frames of the size servers send, into one reused output buffer.
void BM_OpenWebRXADPCMSynced(benchmark::State& state)
{
    const auto stream = audioStream();
    const std::size_t frame = 2048;
    std::vector<std::int16_t> samples;
    samples.reserve(2 * frame);
    std::int64_t decoded = 0;
    for (auto _ : state) {
        OpenWebRXADPCMDecoder decoder;
        for (std::size_t from = 0; from < stream.size(); from += frame) {
            samples.clear();
            decoder.decodeSynced(std::span(stream).subspan(from, std::min(frame, stream.size() - from)),
                                 samples);
            decoded += static_cast<std::int64_t>(samples.size());
            benchmark::DoNotOptimize(samples.data());
        }
    }
    state.SetItemsProcessed(decoded);
}
BENCHMARK(BM_OpenWebRXADPCMSynced);

// One fresh decoder and result vector per waterfall frame, as the pipeline does.
void BM_OpenWebRXADPCMPlain(benchmark::State& state)
{
    std::mt19937 random(2);
    const auto frame = randomCodes(2048, random);
    for (auto _ : state) {
        OpenWebRXADPCMDecoder decoder;
        auto samples = decoder.decodePlain(frame);
        benchmark::DoNotOptimize(samples.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(2 * frame.size()));
}
BENCHMARK(BM_OpenWebRXADPCMPlain);

} // namespace
