// Arbitrary config values and binary frames through the OpenWebRX pipeline,
// with an audio engine that plays nothing. Every row must lie inside the
// spectrum the config described and hold no more levels than its frame.
#include "bench/SilentAudioEngine.h"
#include "openwebrx/OpenWebRXPipeline.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

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
    static const std::shared_ptr<KiwiAudioPlayer> player = SilentAudioEngine::player();

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
    OpenWebRXPipeline pipeline(player, [&lastFrameSize](KiwiWaterfallRow row) {
        if (row.bins.empty() || row.bins.size() > lastFrameSize * 2 || !std::isfinite(row.startHz)
            || !(row.spanHz > 0))
            std::abort();
    });
    pipeline.applyConfig(JSONValue(std::move(config)));
    const auto zoom = in.take<std::int8_t>();
    const auto startHz = in.take<double>();
    pipeline.setView(zoom, startHz);

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
    return 0;
}
