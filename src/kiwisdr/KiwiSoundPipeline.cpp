#include "kiwisdr/KiwiSoundPipeline.h"

#include "audio/ImaAdpcm.h"
#include "model/ServerValues.h"
#include "model/StrictInteger.h"

#include <QStringTokenizer>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>

namespace {

constexpr float sampleScale = 1.0f / 32768.0f;
constexpr std::size_t pairedPrefixBytes = 10;
// The ADPCM bytes before a huge frame's newest samples still move the decoder
// on, this many at a time.
constexpr std::size_t skippedBytesPerStep = 4096;

float bigEndianSample(const std::uint8_t* bytes)
{
    const auto value = static_cast<std::int16_t>(static_cast<std::uint16_t>((bytes[0] << 8) | bytes[1]));
    return static_cast<float>(value) * sampleScale;
}

// Big-endian 16-bit values every `stride` bytes, each only if both its bytes
// are there; the newest maxSamplesPerFrame of them.
std::vector<float> bigEndianSamples(std::span<const std::uint8_t> bytes, std::size_t stride)
{
    const std::size_t count = bytes.size() < 2 ? 0 : (bytes.size() - 2) / stride + 1;
    const std::size_t first = count > maxSamplesPerFrame ? count - maxSamplesPerFrame : 0;
    std::vector<float> samples(count - first);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = bigEndianSample(bytes.data() + (first + i) * stride);
    return samples;
}

// The two numbers of an "audio_adpcm_state" value, or none unless exactly two
// of its comma-separated pieces are integers.
std::optional<std::pair<std::int64_t, std::int64_t>> adpcmState(QStringView text)
{
    std::int64_t numbers[2] = {};
    std::size_t count = 0;
    for (const QStringView piece : QStringTokenizer(text, u',', Qt::SkipEmptyParts)) {
        const std::optional<std::int64_t> number = parseStrictInteger(piece);
        if (!number)
            continue;
        if (count == 2)
            return std::nullopt;
        numbers[count++] = *number;
    }
    if (count != 2)
        return std::nullopt;
    return std::pair(numbers[0], numbers[1]);
}

} // namespace

KiwiSoundPipeline::KiwiSoundPipeline(std::shared_ptr<SoundSink> player)
    : stream(std::move(player))
{
}

void KiwiSoundPipeline::processSoundFrame(const KiwiSoundFrame& frame)
{
    std::vector<float> samples;
    if (frame.flags & KiwiSoundFrame::flagStereoPairs) {
        // Interleaved pairs after a prefix; only the first of each pair plays.
        if (frame.payload.size() > pairedPrefixBytes)
            samples = bigEndianSamples(frame.payload.subspan(pairedPrefixBytes), 4);
    } else if (frame.flags & KiwiSoundFrame::flagADPCM) {
        // Two samples a byte.
        const std::size_t skipped = frame.payload.size() - std::min(frame.payload.size(), maxSamplesPerFrame / 2);
        samples.resize((frame.payload.size() - skipped) * 2);
        const std::lock_guard guard(lock);
        if (skipped > 0) {
            std::vector<float> scratch(2 * skippedBytesPerStep);
            for (std::size_t at = 0; at < skipped; at += skippedBytesPerStep)
                decoder.decodeBlock(frame.payload.subspan(at, std::min(skippedBytesPerStep, skipped - at)), scratch);
        }
        decoder.decodeBlock(frame.payload.subspan(skipped), samples);
    } else {
        samples = bigEndianSamples(frame.payload, 2);
    }
    stream.play(samples);
}

void KiwiSoundPipeline::applyParameters(const std::vector<KiwiParam>& params)
{
    for (const KiwiParam& param : params) {
        if (param.key == u"audio_rate") {
            if (const std::optional<double> rate = parseServerNumber(param.value))
                stream.setRate(*rate);
            continue;
        }
        if (param.key != u"audio_adpcm_state")
            continue;
        const auto state = adpcmState(param.value.value_or(QString()));
        if (!state)
            continue;
        // The predictor is clamped too: a server's value far outside 16 bits
        // would otherwise overflow the next sum.
        const std::lock_guard guard(lock);
        decoder.index = std::clamp<std::int64_t>(state->first, 0, imaMaxStepIndex);
        decoder.previous = std::clamp<std::int64_t>(state->second, -32768, 32767);
    }
}

void KiwiSoundPipeline::reset(SoundStream::StartReport onStart)
{
    {
        const std::lock_guard guard(lock);
        decoder = KiwiADPCMDecoder{};
    }
    stream.open(std::move(onStart));
}

void KiwiSoundPipeline::close()
{
    stream.close();
}

KiwiADPCMDecoder KiwiSoundPipeline::decoderState() const
{
    const std::lock_guard guard(lock);
    return decoder;
}
