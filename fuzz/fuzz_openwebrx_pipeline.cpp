// Arbitrary config values and binary frames through the OpenWebRX pipeline,
// with an audio engine that plays nothing. Every row must lie inside the
// spectrum the config described and hold no more levels than its frame. A
// flag starts the audio with a state block split across two frames, so that
// both framings are fed; the framing must be told once and match the stream.
#include "bench/SilentAudioEngine.h"
#include "openwebrx/OpenWebRXPipeline.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace {

struct Reader {
    const std::uint8_t* data;
    std::size_t size;

    template <typename T>
    T take()
    {
        T value{};
        const std::size_t n = std::min(sizeof value, size);
        std::memcpy(&value, data, n);
        data += n;
        size -= n;
        return value;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::shared_ptr<AudioPlayer> player = SilentAudioEngine::player();

    Reader in{data, size};
    const auto flags = in.take<std::uint8_t>();
    JSONValue::Object config{
        {QStringLiteral("fft_size"), JSONValue(in.take<double>())},
        {QStringLiteral("center_freq"), JSONValue(in.take<double>())},
        {QStringLiteral("samp_rate"), JSONValue(in.take<double>())},
        {QStringLiteral("audio_compression"), JSONValue(QString::fromLatin1(flags & 1 ? "adpcm" : "none"))},
        {QStringLiteral("fft_compression"), JSONValue(QString::fromLatin1(flags & 2 ? "adpcm" : "none"))},
    };

    std::size_t lastFrameSize = 0;
    OpenWebRXPipeline pipeline(player, [&lastFrameSize](WaterfallRow row) {
        if (row.bins.empty() || row.bins.size() > lastFrameSize * 2 || !std::isfinite(row.startHz)
            || !(row.spanHz > 0))
            std::abort();
    });
    int framingCalls = 0;
    std::optional<AudioFraming> heard;
    pipeline.reset([&](AudioFraming framing) {
        ++framingCalls;
        heard = framing;
    });
    pipeline.applyConfig(JSONValue(std::move(config)));
    const auto zoom = in.take<std::int8_t>();
    const auto startHz = in.take<double>();
    pipeline.setView(zoom, startHz);

    const bool syncStart = (flags & 4) != 0;
    if (syncStart) {
        const auto state = in.take<std::uint32_t>();
        std::vector<std::uint8_t> start{OpenWebRXPipeline::audioFrame, 'S', 'Y', 'N', 'C'};
        for (int shift = 0; shift < 32; shift += 8)
            start.push_back(static_cast<std::uint8_t>(state >> shift));
        const std::size_t cut = 1 + (flags >> 4) % 8;
        pipeline.processMessage(std::span(start).first(cut));
        std::vector<std::uint8_t> rest{OpenWebRXPipeline::audioFrame};
        rest.insert(rest.end(), start.begin() + static_cast<std::ptrdiff_t>(cut), start.end());
        pipeline.processMessage(rest);
    }

    // Frames: a length byte, then the message (frame type first).
    while (in.size > 0) {
        const std::size_t length = std::min<std::size_t>(in.take<std::uint8_t>() * 16u, in.size);
        lastFrameSize = length;
        pipeline.processMessage(std::span(in.data, length));
        in.data += length;
        in.size -= length;
    }

    const OpenWebRXPipeline::Snapshot s = pipeline.snapshot();
    if (s.fftSize < 0 || s.fftSize > OpenWebRXPipeline::maxFFTSize || !std::isfinite(s.centerHz)
        || !std::isfinite(s.sampleRateHz))
        std::abort();
    const bool compressedAudio = (flags & 1) != 0;
    if (framingCalls > 1 || heard != s.audioFraming || (heard && !compressedAudio)
        || (syncStart && compressedAudio && heard != AudioFraming::adpcmWithSync))
        std::abort();
    return 0;
}
