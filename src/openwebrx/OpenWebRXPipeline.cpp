#include "openwebrx/OpenWebRXPipeline.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace {

constexpr float sampleScale = 1.0f / 32768.0f;
// Compressed waterfall frames start with this many samples of encoder warm-up.
constexpr std::size_t discardedWaterfallSamples = 10;
// Far beyond any receiver's frequency or bandwidth; keeps every sum of
// frequencies finite.
constexpr double maxFrequencyHz = 1e12;
// A narrower band would make bins wider than any double can say.
constexpr double minSampleRateHz = 1;
// A huge compressed audio frame is decoded this many bytes at a time, keeping
// only its newest maxSamplesPerFrame samples.
constexpr std::size_t decodedBytesPerStep = 16384;

std::optional<double> frequencyMember(const JSONValue& config, const QString& key)
{
    const std::optional<double> value = config.numberMember(key);
    if (!value || !std::isfinite(*value) || std::abs(*value) > maxFrequencyHz)
        return std::nullopt;
    return value;
}

float littleEndianFloat(const std::uint8_t* bytes)
{
    const std::uint32_t bits = std::uint32_t(bytes[0]) | (std::uint32_t(bytes[1]) << 8)
        | (std::uint32_t(bytes[2]) << 16) | (std::uint32_t(bytes[3]) << 24);
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// The levels of one waterfall payload in dB, lowest frequency first; empty
// when the frame has none or more than a row may hold.
std::vector<float> waterfallLevels(std::span<const std::uint8_t> payload, bool compressed)
{
    std::vector<float> levels;
    if (compressed) {
        const std::size_t samples = payload.size() * 2;
        if (samples <= discardedWaterfallSamples
            || samples - discardedWaterfallSamples > std::size_t(OpenWebRXPipeline::maxFFTSize))
            return levels;
        std::vector<std::int16_t> decoded;
        decoded.reserve(samples);
        OpenWebRXADPCMDecoder{}.decodePlain(payload, decoded);
        levels.reserve(samples - discardedWaterfallSamples);
        for (std::size_t i = discardedWaterfallSamples; i < decoded.size(); ++i)
            levels.push_back(static_cast<float>(decoded[i]) / 100.0f);
    } else {
        const std::size_t count = payload.size() / 4;
        if (count > std::size_t(OpenWebRXPipeline::maxFFTSize))
            return levels;
        levels.resize(count);
        for (std::size_t i = 0; i < count; ++i)
            levels[i] = littleEndianFloat(payload.data() + 4 * i);
    }
    return levels;
}

// The newest maxSamplesPerFrame whole samples.
std::vector<std::int16_t> littleEndianSamples(std::span<const std::uint8_t> payload)
{
    const std::size_t count = payload.size() / 2;
    const std::size_t first = count - std::min(count, maxSamplesPerFrame);
    std::vector<std::int16_t> samples(count - first);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const std::size_t at = 2 * (first + i);
        samples[i] = static_cast<std::int16_t>(static_cast<std::uint16_t>(payload[at] | (payload[at + 1] << 8)));
    }
    return samples;
}

} // namespace

OpenWebRXPipeline::OpenWebRXPipeline(std::shared_ptr<SoundSink> player, RowSink rows, RowSink decoderRows)
    : stream(std::move(player))
    , rows(std::move(rows))
    , decoderRows(std::move(decoderRows))
{
}

void OpenWebRXPipeline::reset(AudioFramingSink onAudioFraming, SoundStream::StartReport onStart)
{
    {
        const std::lock_guard guard(lock);
        fields = Fields{};
        fields.onAudioFraming = std::move(onAudioFraming);
    }
    stream.open(std::move(onStart));
}

void OpenWebRXPipeline::close()
{
    stream.close();
}

void OpenWebRXPipeline::applyConfig(const JSONValue& config)
{
    if (!config.asObject())
        return;
    const std::lock_guard guard(lock);
    if (const auto text = config.stringMember(QStringLiteral("audio_compression")))
        fields.audioCompressed = *text == u"adpcm";
    if (const auto text = config.stringMember(QStringLiteral("fft_compression")))
        fields.fftCompressed = *text == u"adpcm";
    if (const auto size = config.numberMember(QStringLiteral("fft_size")); size && std::isfinite(*size)) {
        const double whole = std::trunc(*size);
        if (whole >= 1 && whole <= static_cast<double>(maxFFTSize))
            fields.fftSize = static_cast<std::int64_t>(whole);
    }
    if (const auto center = frequencyMember(config, QStringLiteral("center_freq")))
        fields.centerHz = *center;
    if (const auto rate = frequencyMember(config, QStringLiteral("samp_rate")))
        fields.sampleRateHz = *rate;
}

void OpenWebRXPipeline::setDecoderRate(double rateHz)
{
    if (!(rateHz >= minSampleRateHz && rateHz <= maxFrequencyHz))
        return;
    const std::lock_guard guard(lock);
    fields.decoderRateHz = rateHz;
}

void OpenWebRXPipeline::setView(int zoom, double viewStartHz)
{
    const std::lock_guard guard(lock);
    fields.zoom = zoom;
    fields.viewStartHz = viewStartHz;
}

bool OpenWebRXPipeline::processMessage(std::span<const std::uint8_t> message)
{
    if (message.empty())
        return false;
    const std::span<const std::uint8_t> payload = message.subspan(1);
    switch (message[0]) {
    case waterfallFrame:
        if (auto row = makeWaterfallRow(payload); row && rows)
            rows(std::move(*row));
        return true;
    case audioFrame:
        playAudio(payload, audioRate);
        return true;
    case hdAudioFrame:
        playAudio(payload, hdAudioRate);
        return true;
    case decoderSpectrumFrame:
        if (auto row = makeDecoderRow(payload); row && decoderRows)
            decoderRows(std::move(*row));
        return true;
    default:
        return false;
    }
}

std::optional<WaterfallRow> OpenWebRXPipeline::makeWaterfallRow(std::span<const std::uint8_t> payload)
{
    double centerHz = 0;
    double sampleRateHz = 0;
    bool compressed = true;
    int zoom = 0;
    double viewStartHz = 0;
    std::uint32_t rowSequence = 0;
    {
        const std::lock_guard guard(lock);
        centerHz = fields.centerHz;
        sampleRateHz = fields.sampleRateHz;
        compressed = fields.fftCompressed;
        zoom = fields.zoom;
        viewStartHz = fields.viewStartHz;
        rowSequence = ++sequence;
    }

    const std::vector<float> levels = waterfallLevels(payload, compressed);
    if (levels.empty() || !(sampleRateHz >= minSampleRateHz))
        return std::nullopt;

    const std::size_t n = levels.size();
    const double spectrumStartHz = centerHz - sampleRateHz * 0.5;
    const double binsPerHz = static_cast<double>(n) / sampleRateHz;
    const int shift = std::max(zoom, 0);
    const std::size_t visible = std::max<std::size_t>(shift >= 64 ? 0 : n >> shift, 1);
    const double spanHz = static_cast<double>(visible) / binsPerHz;

    // The window stays inside the spectrum whatever the client asked for.
    double leftHz = std::isfinite(viewStartHz) ? std::max(viewStartHz, spectrumStartHz) : spectrumStartHz;
    leftHz = std::min(leftHz, spectrumStartHz + sampleRateHz - spanHz);
    double firstBin = std::round((leftHz - spectrumStartHz) * binsPerHz);
    if (!std::isfinite(firstBin))
        firstBin = 0;
    const std::size_t first = static_cast<std::size_t>(
        std::clamp(firstBin, 0.0, static_cast<double>(n - visible)));

    WaterfallRow row;
    row.bins.assign(levels.begin() + static_cast<std::ptrdiff_t>(first),
                    levels.begin() + static_cast<std::ptrdiff_t>(first + visible));
    row.startHz = spectrumStartHz + static_cast<double>(first) / binsPerHz;
    row.spanHz = spanHz;
    row.zoom = zoom;
    row.sequence = rowSequence;
    return row;
}

std::optional<WaterfallRow> OpenWebRXPipeline::makeDecoderRow(std::span<const std::uint8_t> payload)
{
    std::optional<double> rateHz;
    bool compressed = true;
    std::uint32_t rowSequence = 0;
    {
        const std::lock_guard guard(lock);
        rateHz = fields.decoderRateHz;
        compressed = fields.fftCompressed;
        rowSequence = ++decoderSequence;
    }
    if (!rateHz)
        return std::nullopt;
    WaterfallRow row;
    row.bins = waterfallLevels(payload, compressed);
    if (row.bins.empty())
        return std::nullopt;
    row.startHz = -*rateHz / 2;
    row.spanHz = *rateHz;
    row.sequence = rowSequence;
    return row;
}

void OpenWebRXPipeline::playAudio(std::span<const std::uint8_t> payload, double rate)
{
    std::vector<std::int16_t> samples;
    std::optional<AudioFraming> decided;
    AudioFramingSink onAudioFraming;
    {
        const std::lock_guard guard(lock);
        if (fields.audioCompressed) {
            const bool wasOpen = !fields.audioDecoder.framing;
            for (std::size_t at = 0; at < payload.size(); at += decodedBytesPerStep) {
                fields.audioDecoder.decodeAudio(
                    payload.subspan(at, std::min(decodedBytesPerStep, payload.size() - at)), samples);
                if (samples.size() > 2 * maxSamplesPerFrame)
                    samples.erase(samples.begin(), samples.end() - maxSamplesPerFrame);
            }
            if (samples.size() > maxSamplesPerFrame)
                samples.erase(samples.begin(), samples.end() - maxSamplesPerFrame);
            if (wasOpen && fields.audioDecoder.framing) {
                decided = fields.audioDecoder.framing;
                onAudioFraming = fields.onAudioFraming;
            }
        } else {
            samples = littleEndianSamples(payload);
        }
    }
    if (decided && onAudioFraming)
        onAudioFraming(*decided);

    stream.setRate(rate);
    std::vector<float> block(samples.size());
    std::transform(samples.begin(), samples.end(), block.begin(),
                   [](std::int16_t s) { return static_cast<float>(s) * sampleScale; });
    stream.play(block);
}

OpenWebRXPipeline::Snapshot OpenWebRXPipeline::snapshot() const
{
    const std::optional<double> playerRate = stream.rate();
    const std::lock_guard guard(lock);
    return {fields.audioCompressed, fields.fftCompressed,  fields.fftSize,
            fields.centerHz,        fields.sampleRateHz,   fields.zoom,
            fields.viewStartHz,     playerRate,            fields.audioDecoder.framing,
            sequence};
}
