#include "kiwisdr/KiwiADPCMDecoder.h"

#include "audio/ImaAdpcm.h"

#include <algorithm>

namespace {

constexpr float sampleScale = 1.0f / 32768.0f;

} // namespace

std::vector<float> KiwiADPCMDecoder::decodeBlock(std::span<const std::uint8_t> bytes)
{
    std::vector<float> samples(bytes.size() * 2);
    decodeBlock(bytes, samples);
    return samples;
}

std::size_t KiwiADPCMDecoder::decodeBlock(std::span<const std::uint8_t> bytes, std::span<float> out)
{
    const std::size_t count = std::min(bytes.size(), out.size() / 2);
    // The fields are public, so whatever they hold is brought into the kept
    // ranges before it is used as a table index or added to.
    int currentIndex = static_cast<int>(std::clamp<std::int64_t>(index, 0, imaMaxStepIndex));
    int currentPrevious = static_cast<int>(std::clamp<std::int64_t>(previous, -32768, 32767));
    float* target = out.data();
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned byte = bytes[i];
        target[2 * i] = static_cast<float>(imaDecodeCode(currentIndex, currentPrevious, byte)) * sampleScale;
        target[2 * i + 1] = static_cast<float>(imaDecodeCode(currentIndex, currentPrevious, byte >> 4)) * sampleScale;
    }
    index = currentIndex;
    previous = currentPrevious;
    return count * 2;
}
