#include "audio/IMAADPCMDecoder.h"

#include "audio/ImaAdpcmTables.h"

#include <algorithm>

namespace {

constexpr float sampleScale = 1.0f / 32768.0f;

// The fields are public, so whatever they hold is brought into the kept
// ranges before it is used as a table index or added to.
int keptIndex(std::int64_t index)
{
    return static_cast<int>(std::clamp<std::int64_t>(index, 0, imaMaxStepIndex));
}

int keptSample(std::int64_t sample)
{
    return static_cast<int>(std::clamp<std::int64_t>(sample, -32768, 32767));
}

// One decoding step on plain ints; `code` is 0..15 and `index` 0..88.
inline int decodeStep(int& index, int& previous, unsigned code)
{
    const int step = imaStepTable[static_cast<std::size_t>(index)];
    index = std::clamp(index + imaIndexTable[code], 0, imaMaxStepIndex);
    // Written as masks rather than branches: the codes are noise-like and
    // branches on their bits would be mispredicted half the time.
    int diff = step >> 3;
    diff += step & -static_cast<int>((code >> 2) & 1);
    diff += (step >> 1) & -static_cast<int>((code >> 1) & 1);
    diff += (step >> 2) & -static_cast<int>(code & 1);
    const int sign = -static_cast<int>((code >> 3) & 1);
    diff = (diff ^ sign) - sign;
    previous = std::clamp(previous + diff, -32768, 32767);
    return previous;
}

} // namespace

int IMAADPCMDecoder::decodeNibble(int code)
{
    int currentIndex = keptIndex(index);
    int currentPrevious = keptSample(previous);
    const int sample = decodeStep(currentIndex, currentPrevious, static_cast<unsigned>(code) & 0x0Fu);
    index = currentIndex;
    previous = currentPrevious;
    return sample;
}

std::vector<float> IMAADPCMDecoder::decodeBlock(std::span<const std::uint8_t> bytes)
{
    std::vector<float> samples(bytes.size() * 2);
    decodeBlock(bytes, samples);
    return samples;
}

std::size_t IMAADPCMDecoder::decodeBlock(std::span<const std::uint8_t> bytes, std::span<float> out)
{
    const std::size_t count = std::min(bytes.size(), out.size() / 2);
    int currentIndex = keptIndex(index);
    int currentPrevious = keptSample(previous);
    float* target = out.data();
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned byte = bytes[i];
        target[2 * i] = static_cast<float>(decodeStep(currentIndex, currentPrevious, byte & 0x0Fu)) * sampleScale;
        target[2 * i + 1] = static_cast<float>(decodeStep(currentIndex, currentPrevious, byte >> 4)) * sampleScale;
    }
    index = currentIndex;
    previous = currentPrevious;
    return count * 2;
}
