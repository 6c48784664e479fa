#include "ImaAdpcmEncoder.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<int, 89> stepTable{
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,
    25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,
    88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,   253,   279,
    307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,   876,   963,
    1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749,  3024,  3327,
    3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493,  10442, 11487,
    12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

constexpr std::array<int, 8> indexAdjust{-1, -1, -1, -1, 2, 4, 6, 8};

} // namespace

std::uint8_t ImaAdpcmEncoder::encodeSample(std::int16_t sample)
{
    index = std::clamp(index, 0, 88);
    previous = std::clamp(previous, -32768, 32767);
    int step = stepTable[static_cast<std::size_t>(index)];
    int difference = sample - previous;
    std::uint8_t code = 0;
    if (difference < 0) {
        code = 8;
        difference = -difference;
    }
    // The reconstruction a decoder computes from the code, built alongside.
    int reconstructed = step >> 3;
    if (difference >= step) {
        code |= 4;
        difference -= step;
        reconstructed += step;
    }
    step >>= 1;
    if (difference >= step) {
        code |= 2;
        difference -= step;
        reconstructed += step;
    }
    step >>= 1;
    if (difference >= step) {
        code |= 1;
        reconstructed += step;
    }
    previous = std::clamp((code & 8) ? previous - reconstructed : previous + reconstructed, -32768, 32767);
    index = std::clamp(index + indexAdjust[code & 7], 0, 88);
    return code;
}

std::vector<std::uint8_t> ImaAdpcmEncoder::encode(std::span<const std::int16_t> samples)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve((samples.size() + 1) / 2);
    for (std::size_t i = 0; i < samples.size(); i += 2) {
        const std::uint8_t low = encodeSample(samples[i]);
        const std::uint8_t high = encodeSample(i + 1 < samples.size() ? samples[i + 1] : samples[i]);
        bytes.push_back(static_cast<std::uint8_t>(low | (high << 4)));
    }
    return bytes;
}
